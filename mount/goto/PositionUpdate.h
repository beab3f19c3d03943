#pragma once

#include <cstdint>
#include <functional>

class MountControl;

// The half-second position update: on each tick of the mount's goto timer it reads both axes,
// restarts tracking once a move has ended, and turns the step counts into the program's
// pointing. A mount that does not answer changes nothing: after two failed updates it is only
// asked every ten seconds of the clock, so capture and guiding are held up by one timeout at
// the most.
class PositionUpdate {
public:
    // The program's pointing, in degrees.
    PositionUpdate(double& pointingRa, double& pointingDec);

    // One main-loop pass: an update when a tick is due; false when none ran or it failed.
    bool step(MountControl& mount);
    // The update itself, also for actions that need a fresh position; false when the mount
    // did not answer (the pointing is then unchanged).
    bool update(MountControl& mount);

    // After each update that moved the pointing (the goto window follows it).
    std::function<void()> positionChanged;

    static constexpr int failuresBeforeSlowing = 2;
    static constexpr std::int64_t slowRetryMs = 10000;

private:
    bool read(MountControl& mount);

    double& pointingRa;
    double& pointingDec;
    int failures = 0;
    std::int64_t nextTryMs = 0;
};
