#include "ChartScales.h"

#include "StarCatalog.h"

#include <algorithm>
#include <cmath>

namespace ChartScales {

namespace {

constexpr double scales[levels] = {97,   317,  550,  951,  1391,  2051,
                                   3118, 4477, 6286, 8987, 12595, 20999};

// Sprite size in pixels by whole magnitude (rows, 0..7) and zoom level (columns).
constexpr int spriteSizes[8][levels] = {{12, 12, 16, 16, 20, 20, 28, 36, 36, 36, 36, 36},
                                        {8, 8, 12, 12, 16, 16, 20, 28, 28, 36, 36, 36},
                                        {6, 6, 6, 8, 8, 12, 16, 20, 20, 28, 28, 28},
                                        {4, 4, 6, 6, 6, 8, 8, 12, 12, 16, 20, 28},
                                        {4, 4, 4, 4, 6, 6, 6, 8, 8, 12, 16, 20},
                                        {4, 4, 4, 4, 4, 4, 6, 6, 6, 8, 12, 16},
                                        {4, 4, 4, 4, 4, 4, 4, 6, 6, 8, 8, 12},
                                        {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 8}};

int level(int zoomLevel) {
    return std::clamp(zoomLevel, 0, levels - 1);
}

} // namespace

double chartScale(int zoomLevel) {
    return scales[level(zoomLevel)];
}

double magnitudeLimit(int zoomLevel) {
    static constexpr double limits[levels] = {4.0, 4.0, 4.0, 4.5, 5.0, 5.5,
                                              6.0, 10,  10,  10,  10,  10};
    return limits[level(zoomLevel)];
}

int spriteRow(double vmag, int zoomLevel) {
    const int m = std::clamp(int(std::trunc(std::clamp(vmag, -10.0, 10.0))), 0, 7);
    const int size = spriteSizes[m][level(zoomLevel)];
    const int* row =
        std::find(std::begin(StarCatalog::spriteSizes), std::end(StarCatalog::spriteSizes), size);
    return int(row - std::begin(StarCatalog::spriteSizes));
}

QString fieldSizeText(double scale) {
    const auto span = [scale](double half) {
        return 2 * (90 - std::atan2(scale, half) * 180 / M_PI);
    };
    return QString::asprintf("Width = %.1f, Height = %.1f", span(600), span(320));
}

} // namespace ChartScales
