#include "GuideMovingAverage.h"

#include <algorithm>
#include <cmath>

void GuideMovingAverage::push(double x, double y, int n, double deadBandX, double deadBandY) {
    n = std::clamp(n, 1, capacity);
    if (n != length) {
        // The ring's slots belong to the old length; start again.
        clear();
        std::fill(ringX, ringX + capacity, 0.0);
        std::fill(ringY, ringY + capacity, 0.0);
        length = n;
    }
    if (n == 1) {
        sumX = x;
        sumY = y;
        ++count;
    } else {
        const int slot = count % n;
        if (count > n - 1) {
            sumX -= ringX[slot];
            sumY -= ringY[slot];
        }
        ringX[slot] = x;
        ringY[slot] = y;
        ++count;
        sumX += x;
        sumY += y;
    }
    if (std::fabs(x) < deadBandX)
        sumX = 0;
    if (std::fabs(y) < deadBandY)
        sumY = 0;
}

void GuideMovingAverage::clear() {
    sumX = 0;
    sumY = 0;
    count = 0;
}
