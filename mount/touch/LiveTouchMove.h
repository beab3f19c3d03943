#pragma once

struct ProcessState;
struct ViewState;

// A drag on the live view turned into a move of the mount that carries the star under the
// finger to where the finger left the screen; with sync by touch the mount stays and the
// program's idea of where it points moves instead, carrying the chart over the picture.
class LiveTouchMove {
public:
    // Offsets on the sky, in degrees along the directions of RA and Dec.
    struct Offsets {
        double ra = 0;
        double dec = 0;
    };
    // The sky's offsets for a drag of (dx, dy) canvas pixels, taken from the release to the
    // press. `imageRote` is the solved frame rotation, the rotations are quarter turns.
    static Offsets skyOffsets(int dx, int dy, double imageRote, int cameraRotation,
                              int displayRotation, double degreesPerPixel);
    // How far the RA axis turns to move the field by `raOffset` on the sky at that declination.
    static double raAxisDegrees(double raOffset, double dec);

    static constexpr double rate = 800;
    // Beyond this declination the axis would race round for a small offset on the sky.
    static constexpr double maxDec = 85;

    LiveTouchMove(ProcessState& state, const ViewState& view);

    // The main window's "星図合わせ" switch.
    bool syncByTouch = false;

    // Only in live view at zoom below 2; a drag of (0, 0) does nothing.
    void moveByTouch(int dx, int dy);

private:
    void shiftSyncPoint(double raDegrees, double decDegrees);

    ProcessState& state;
    const ViewState& view;
};
