#pragma once

#include <cstdint>
#include <vector>

// One motion of a mount axis as distance against time: phases of constant acceleration, the
// last of a slew without end. Distances are steps from where the motion began, speeds steps
// per second, times seconds since it began.
class SimAxisMotion {
public:
    // Standing still.
    SimAxisMotion() = default;
    // Reaches `speed` from `fromSpeed` at `acceleration`, then holds it for good.
    static SimAxisMotion slew(double fromSpeed, double speed, double acceleration);
    // Covers exactly `steps`: up to `topSpeed` (or as near as the distance allows) and down
    // again, both at `acceleration`.
    static SimAxisMotion move(std::uint32_t steps, double topSpeed, double acceleration);
    // From `fromSpeed` down to a stop at `acceleration`.
    static SimAxisMotion brake(double fromSpeed, double acceleration);

    double distance(double seconds) const;
    double speed(double seconds) const;
    bool moving(double seconds) const;
    // The distance left before the motion ends on its own; infinite for a slew.
    double remaining(double seconds) const;

private:
    struct Phase {
        double seconds;
        double fromSpeed;
        double acceleration;
    };

    std::vector<Phase> phases;
    // A move ends on its whole number of steps, whatever rounding its phases collect.
    double landing = -1;
};
