#include "PositionUpdate.h"

#include "Clock.h"
#include "DebugLog.h"
#include "GotoMath.h"
#include "GotoTimerThread.h"
#include "MountControl.h"

namespace {

// Degrees the sky turns in a second at the mount's base rate (one turn in 86200 s).
constexpr double degreesPerSecond = 0.004176334106728539;

} // namespace

PositionUpdate::PositionUpdate(double& ra, double& dec)
    : pointingRa(ra)
    , pointingDec(dec) {}

bool PositionUpdate::step(MountControl& mount) {
    GotoTimerThread* timer = mount.gotoTimer();
    if (mount.guiding || !timer || !timer->takeTick())
        return false;
    if (failures >= failuresBeforeSlowing && Clock::nowMs() < nextTryMs)
        return false;
    return update(mount);
}

bool PositionUpdate::update(MountControl& mount) {
    const bool answered = read(mount);
    if (answered) {
        if (failures >= failuresBeforeSlowing)
            debugLog("mount answering again");
        failures = 0;
        return true;
    }
    if (++failures == failuresBeforeSlowing)
        debugLog("mount not answering");
    nextTryMs = Clock::nowMs() + slowRetryMs;
    return false;
}

bool PositionUpdate::read(MountControl& mount) {
    MountControl::Conversation talking(mount);
    MountCodec::AxisStatus ra, dec;
    if (!mount.readAxisStatus(0, &ra) || !mount.readAxisStatus(1, &dec))
        return false;
    // An axis that stands has ended its move. Once both stand, whichever of them moved,
    // tracking starts again; a Dec move under a tracking RA axis needs no restart.
    const bool moved = mount.raState != MountControl::Idle || mount.decState != MountControl::Idle;
    if (!ra.running)
        mount.raState = MountControl::Idle;
    if (!dec.running)
        mount.decState = MountControl::Idle;
    if (!ra.running && !dec.running && moved) {
        mount.startTracking();
        mount.raState = mount.decState = MountControl::Idle;
    }
    std::int32_t raSteps = 0, decSteps = 0;
    if (!mount.readAxisPosition(0, &raSteps) || !mount.readAxisPosition(1, &decSteps))
        return false;
    const std::int64_t seconds = mount.gotoTimer() ? mount.gotoTimer()->ticks() / 2 : 0;
    pointingRa = GotoMath::wrapRa(mount.baseRa - mount.stepsToDegrees(0, raSteps) +
                                  seconds * degreesPerSecond);
    // Moves on a reversed Dec axis are sent the other way round; the counts they leave are
    // read back the same way, or the pointing would run off opposite to the tube.
    const double decDegrees = mount.stepsToDegrees(1, decSteps);
    pointingDec =
        GotoMath::foldDec((mount.decReversed() ? -decDegrees : decDegrees) + mount.baseDec);
    if (positionChanged)
        positionChanged();
    return true;
}
