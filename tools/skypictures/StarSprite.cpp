#include "StarSprite.h"

#include <algorithm>
#include <cmath>

QImage renderStarSprite(int size, QColor colour) {
    QImage sprite(size, size, QImage::Format_RGB32);
    const double sigma = size / 4.5;
    const double centre = (size - 1) / 2.0;
    const double radius = size / 2.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double r2 = (x - centre) * (x - centre) + (y - centre) * (y - centre);
            // The window takes the profile to black at the rim, even for the smallest sizes.
            const double window = std::max(0.0, 1 - r2 / (radius * radius));
            const double intensity = 1.6 * std::exp(-r2 / (2 * sigma * sigma)) * window;
            auto channel = [&](int c) { return std::min(255, int(std::lround(c * intensity))); };
            sprite.setPixel(
                x, y, qRgb(channel(colour.red()), channel(colour.green()), channel(colour.blue())));
        }
    }
    return sprite;
}
