#include "GamepadMount.h"

#include "GamepadFlags.h"
#include "MountControl.h"

namespace {
constexpr int ra = 0;
constexpr int dec = 1;
} // namespace

void GamepadMount::serve(MountControl* mount, const GamepadEvents& events) {
    if (!mount) {
        trackingWanted = false;
        return;
    }
    serveButtons(*mount, events);
    serveStick(*mount, events);
    if (trackingWanted && !mount->isBusy() && !mount->pendingRaStop) {
        trackingWanted = false;
        mount->startTracking();
    }
}

void GamepadMount::slew(MountControl& mount, int axis, double rate, int dir) {
    if (axis == ra)
        trackingWanted = false;
    mount.requestSlew(axis, rate, dir);
}

void GamepadMount::serveButtons(MountControl& mount, const GamepadEvents& events) {
    // A release comes first: a press after it in the same pass starts again.
    if (events.xOff)
        mount.requestStop(ra);
    if (events.xOn) {
        if (events.held & GamepadButton::B)
            slew(mount, ra, buttonRate, 0);
        else if (events.held & GamepadButton::X)
            slew(mount, ra, buttonRate, 1);
    }
    if (events.yOff)
        mount.requestStop(dec);
    if (events.yOn) {
        if (events.held & GamepadButton::Y)
            slew(mount, dec, buttonRate, 0);
        else if (events.held & GamepadButton::A)
            slew(mount, dec, buttonRate, 1);
    }
}

void GamepadMount::serveStick(MountControl& mount, const GamepadEvents& events) {
    if (events.stickChanged[GamepadEvents::RightX]) {
        switch (events.stick[GamepadEvents::RightX]) {
        case 1:
            slew(mount, ra, stickRate, 0);
            break;
        case 3:
            slew(mount, ra, stickRate, 1);
            break;
        default:
            mount.requestStop(ra);
            mount.raState = MountControl::Idle;
            trackingWanted = true;
        }
    }
    if (events.stickChanged[GamepadEvents::RightY]) {
        switch (events.stick[GamepadEvents::RightY]) {
        case 5:
            slew(mount, dec, stickRate, 0);
            break;
        case 7:
            slew(mount, dec, stickRate, 1);
            break;
        default:
            mount.requestStop(dec);
        }
    }
}
