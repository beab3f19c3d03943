#include "ManualMotion.h"

#include "DebugLog.h"
#include "MountControl.h"

namespace {

// Multiples of the sidereal rate for each speed.
constexpr double rates[ManualMotion::speeds] = {800, 100, 29, 8};
// Degrees for each step mode after the continuous one.
constexpr double stepDegrees[ManualMotion::stepModes - 1] = {0.1, 0.5, 1.0, 5.0, 10.0};

} // namespace

ManualMotion::ManualMotion(MountControl* const& mountPointer)
    : mount(mountPointer) {}

void ManualMotion::setStepMode(int stepMode) {
    if (stepMode >= 0 && stepMode < stepModes)
        mode = stepMode;
}

void ManualMotion::setSpeedIndex(int speedIndex) {
    if (speedIndex < 0 || speedIndex >= speeds)
        return;
    speed = speedIndex;
    if (speed != 0)
        mode = 0;
}

int ManualMotion::axisOf(Pad pad) {
    return pad == East || pad == West ? 0 : 1;
}

void ManualMotion::press(Pad pad) {
    debugLog("event2");
    const int axis = axisOf(pad);
    const int dir = pad == East || pad == South ? 1 : 0;
    // Whatever ran on this axis is replaced by this press.
    slewingPad[axis] = -1;
    if (!mount)
        return;
    if (mode == 0) {
        // Marked before the request: its conversation may deliver the release.
        slewingPad[axis] = pad;
        mount->requestSlew(axis, rates[speed], dir);
    } else {
        mount->requestGoto(axis, rates[speed], dir, stepDegrees[mode - 1]);
    }
}

void ManualMotion::release(Pad pad) {
    const int axis = axisOf(pad);
    if (slewingPad[axis] != pad)
        return;
    slewingPad[axis] = -1;
    if (mount)
        mount->requestStop(axis);
}

void ManualMotion::releaseAll() {
    for (int axis = 0; axis < 2; ++axis)
        if (slewingPad[axis] >= 0)
            release(Pad(slewingPad[axis]));
}
