#pragma once

class MountControl;

// What the motor dialog's pads do to the mount. A press starts a slew at the chosen speed, or
// a step of the chosen angle; the release of a press that started a slew stops it, whatever
// the mode has become meanwhile. All through the mount's requests, so a press while the mount
// talks is served later, in order. Without a mount the pads do nothing.
class ManualMotion {
public:
    enum Pad { North, South, East, West };

    static constexpr int stepModes = 6; // continuous, then the five steps
    static constexpr int speeds = 4;

    // `mount` is the program's pointer to the mount, null while none is connected.
    explicit ManualMotion(MountControl* const& mount);

    // 0 continuous, 1…5 the steps of 0.1, 0.5, 1, 5 and 10 degrees.
    int stepMode() const { return mode; }
    void setStepMode(int stepMode);
    // 0 the fastest, then 100, 30 and 8 times the sidereal rate. The slower speeds are for
    // centring by eye, so choosing one goes back to continuous moves.
    int speedIndex() const { return speed; }
    void setSpeedIndex(int speedIndex);

    void press(Pad pad);
    void release(Pad pad);
    // The slews still held stop: the pads go away while a finger is on one.
    void releaseAll();

private:
    static int axisOf(Pad pad);

    MountControl* const& mount;
    int mode = 0;
    int speed = 0;
    // For each axis, the pad whose press started the slew it runs, or -1.
    int slewingPad[2] = {-1, -1};
};
