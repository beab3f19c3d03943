#pragma once

class MountControl;
struct GamepadEvents;

// The mount's share of the controller: B and X turn the RA axis at the fastest rate while
// held, Y and A the Dec axis; the right stick turns them slowly, and its return to the
// centre sets RA tracking again. Requests wait while the mount talks.
class GamepadMount {
public:
    static constexpr double buttonRate = 800;
    static constexpr double stickRate = 64;

    // One pass of the main loop with what the controller did; nothing without a mount.
    void serve(MountControl* mount, const GamepadEvents& events);

private:
    void slew(MountControl& mount, int axis, double rate, int dir);
    void serveButtons(MountControl& mount, const GamepadEvents& events);
    void serveStick(MountControl& mount, const GamepadEvents& events);

    bool trackingWanted = false; // kept while the mount talks
};
