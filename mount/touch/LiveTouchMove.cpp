#include "LiveTouchMove.h"

#include "DebugLog.h"
#include "GotoMath.h"
#include "MountControl.h"
#include "ProcessState.h"
#include "ViewState.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double radians = M_PI / 180;

// The solved rotation of a frame turned by the camera's quarter turns, less those turns.
constexpr double cameraTurnDegrees[4] = {0, 270, 180, 90};

} // namespace

LiveTouchMove::Offsets LiveTouchMove::skyOffsets(int dx, int dy, double imageRote,
                                                 int cameraRotation, int displayRotation,
                                                 double degreesPerPixel) {
    const double theta = (imageRote - cameraTurnDegrees[(cameraRotation % 4 + 4) % 4]) * -radians;
    const double u = (dx * std::cos(theta) - dy * std::sin(theta)) * degreesPerPixel;
    const double v = (dx * std::sin(theta) + dy * std::cos(theta)) * degreesPerPixel;
    // What the sines of whole quarter turns leave behind is far below a step of any mount: an
    // axis with nothing to do must not move.
    const auto clean = [](double degrees) { return std::fabs(degrees) < 1e-9 ? 0.0 : degrees; };
    switch ((displayRotation % 4 + 4) % 4) {
    case 1:
        return {clean(v), clean(-u)};
    case 2:
        return {clean(-u), clean(-v)};
    case 3:
        return {clean(-v), clean(u)};
    default:
        return {clean(u), clean(v)};
    }
}

double LiveTouchMove::raAxisDegrees(double raOffset, double dec) {
    return raOffset / std::cos(std::clamp(dec, -maxDec, maxDec) * radians);
}

LiveTouchMove::LiveTouchMove(ProcessState& processState, const ViewState& viewState)
    : state(processState)
    , view(viewState) {}

void LiveTouchMove::moveByTouch(int dx, int dy) {
    if (state.captureState != 1 || view.zoom >= 2 || (dx == 0 && dy == 0))
        return;
    // A live picture shrunk on the canvas shows more sky per pixel.
    const double degreesPerPixel = state.degreePerPixW * std::max(1, view.shrink);
    const Offsets sky = skyOffsets(dx, dy, state.imageRote, view.cameraRotation,
                                   view.displayRotation, degreesPerPixel);
    const double raTurn = raAxisDegrees(sky.ra, state.syncPointDec);
    if (syncByTouch) {
        shiftSyncPoint(raTurn, sky.dec);
        return;
    }
    MountControl* mount = state.mount;
    if (!mount)
        return;
    // Each axis whose own offset is not zero: after the rotations a sideways drag may be all
    // declination.
    if (raTurn != 0)
        mount->requestGoto(0, rate, raTurn > 0 ? 1 : 0, std::fabs(raTurn));
    if (sky.dec != 0)
        mount->requestGoto(1, rate, sky.dec > 0 ? 0 : 1, std::fabs(sky.dec));
}

void LiveTouchMove::shiftSyncPoint(double raDegrees, double decDegrees) {
    state.syncPointRa = GotoMath::wrapRa(state.syncPointRa + raDegrees);
    state.syncPointDec = std::clamp(state.syncPointDec + decDegrees, -90.0, 90.0);
    MountControl* mount = state.mount;
    if (!mount)
        return;
    if (!mount->isBusy())
        debugLog("reset Position");
    mount->requestRebase();
}
