#pragma once

#include <cstdint>

// One 4-connected group of pixels brighter than the threshold, as the polar star detector
// measures it. Coordinates are those of the searched image (or region).
struct StarBlob {
    int label = 0;              // the group's first label, which is also its raster order
    int firstX = 0, firstY = 0; // first pixel met in raster order
    int pixelCount = 0;
    std::int64_t brightnessSum = 0;
    double sumXI = 0, sumYI = 0; // sums of value * x and value * y
    std::int64_t sortKey = 0;    // what the last search sorted by

    double centroidX() const { return sumXI / double(brightnessSum); }
    double centroidY() const { return sumYI / double(brightnessSum); }
};
