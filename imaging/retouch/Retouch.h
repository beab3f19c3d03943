#pragma once

#include <array>
#include <cstdint>
#include <opencv2/core.hpp>
#include <vector>

// The look of a composite: a colour balance (a gamma per colour from a level 0..99, 50 neutral)
// followed by a tone curve through two points on a 0..255 scale.
struct RetouchValues {
    int rLevel = 50;
    int gLevel = 50;
    int bLevel = 50;
    int lowX = 0;
    int lowY = 0;
    int highX = 255;
    int highY = 255;
};

class Retouch {
public:
    explicit Retouch(const RetouchValues& values);

    // Retouches a CV_16UC1, CV_16UC3, CV_8UC1 or CV_8UC3 image into `target`, which may be
    // `source` itself. Three channels are blue, green, red; one channel takes the red level.
    // False, and `target` untouched, for another type.
    bool apply(const cv::Mat& source, cv::Mat& target) const;

private:
    // One table per channel, blue first, for samples on a scale of 2^bits.
    std::array<std::vector<uint16_t>, 3> tables(int bits) const;

    RetouchValues values;
};
