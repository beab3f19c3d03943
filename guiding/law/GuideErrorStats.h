#pragma once

struct SettingsRecord;

// The error statistics behind Auto mode. Samples (the averaged offsets of the x and y image
// axes) are gathered in windows whose length follows the guide exposure; at the end of each
// window the means and variances are logged, the sensitivity of each axis in Auto mode is
// stepped on the ladder, and the use-raw-offset flags are set for the next window.
class GuideErrorStats {
public:
    // Window length for the guide exposure index 0..13: 10240 samples at 1 ms down to 1 at 8 s.
    static int windowLength(int gexposure);

    // Starts afresh: an empty window of `length` samples, no previous means, flags clear.
    void reset(int length);
    // Changes the window length; the samples gathered so far stay.
    void setWindowLength(int length) { windowSize = length; }

    // Adds one sample; `xIsRa` says which image axis is the RA axis. At the end of a window
    // `senceRa`/`senceDec` of the axes in Auto mode may change: then it returns true.
    bool add(double x, double y, SettingsRecord& settings, bool xIsRa);

    // Whether guiding uses the plain offset of that image axis instead of blending it with the
    // moving average.
    bool useRawX() const { return rawX; }
    bool useRawY() const { return rawY; }

private:
    struct Axis {
        double sum = 0;
        double sumSquares = 0;
        double max = 0;
        double min = 0;
    };
    static void addTo(Axis& axis, double v, bool first);
    static bool autoStep(int& sensitivity, double mean, double variance, double previousMean);

    int windowSize = 1;
    int count = 0;
    Axis ax, ay;
    double previousMeanX = 0;
    double previousMeanY = 0;
    bool rawX = false;
    bool rawY = false;
};
