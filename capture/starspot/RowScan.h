#pragma once

#include <algorithm>
#include <cstdint>

// The first column from x on whose value is above the threshold, or width. Background is
// passed over a block at a time: the block's brightest value is a loop that vectorises.
inline int nextAbove(const std::uint8_t* row, int x, int width, int threshold) {
    constexpr int block = 32;
    for (; x + block <= width; x += block) {
        std::uint8_t brightest = 0;
        for (int k = 0; k < block; ++k)
            brightest = std::max(brightest, row[x + k]);
        if (brightest > threshold)
            break;
    }
    while (x < width && row[x] <= threshold)
        ++x;
    return x;
}
