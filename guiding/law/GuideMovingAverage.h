#pragma once

// The moving average of the guide offsets, one ring per image axis. The length comes from
// `movAveN` (1..99) on every push; a change of length starts the average afresh.
//
// As the guider has always done it, a value inside its axis's dead band zeroes that axis's
// running sum (the ring keeps its values), so the average restarts from the next values.
class GuideMovingAverage {
public:
    static constexpr int capacity = 99;

    // Pushes one pair with the length `n` and the dead bands of the x and y axes in pixels.
    void push(double x, double y, int n, double deadBandX, double deadBandY);
    double averageX() const { return sumX / length; }
    double averageY() const { return sumY / length; }
    // Zeroes both sums and the count.
    void clear();

private:
    double ringX[capacity] = {};
    double ringY[capacity] = {};
    double sumX = 0;
    double sumY = 0;
    int count = 0;
    int length = 1;
};
