#include "ChartLayers.h"

#include "SettingsRecord.h"

namespace {

// The chart's colour numbers: a level 0..10 of red, green, blue or a mix of them.
cv::Scalar colourOf(int number, int level) {
    const double v = 25 * level;
    switch (number) {
    case 0:
        return {0, 0, v};
    case 1:
        return {0, v, 0};
    case 2:
        return {v, 0, 0};
    case 3:
        return {0, v, v};
    case 4:
        return {v, v, 0};
    case 5:
        return {v, 0, v};
    case 6:
        return {v, v, v};
    default:
        return {0, 0, 0};
    }
}

} // namespace

ChartLayers ChartLayers::forChart(const SettingsRecord& s, int zoomLevel) {
    ChartLayers layers;
    layers.zoomLevel = zoomLevel;
    layers.milkyWay = s.enaMilky != 0;
    layers.constellationNames = s.enaConstName != 0;
    layers.famousStarNames = s.enaFamusStarName != 0;
    layers.allStarNames = s.enaAllStarName != 0;
    layers.messier = s.enaMessie != 0;
    // "有名IC/NGC" and "全IC/NGC" show both catalogues; "有名NGC" and "全NGC" add NGC alone.
    layers.famousNgc = s.enaFamusIc != 0 || s.enaFamusNgc != 0;
    layers.allNgc = s.enaAllIc != 0 || s.enaAllNgc != 0;
    layers.famousIc = s.enaFamusIc != 0;
    layers.allIc = s.enaAllIc != 0;
    layers.lineColour = colourOf(s.colNo1, s.colLe1);
    layers.messierColour = colourOf(s.colNo4, s.colLe4);
    layers.ngcIcColour = colourOf(s.colNo6, s.colLe6);
    return layers;
}

ChartLayers ChartLayers::forLiveView(const SettingsRecord& s) {
    ChartLayers layers = forChart(s, 11);
    layers.milkyWay = false;
    layers.stars = false;
    layers.lineColour = {255, 255, 255};
    layers.messierColour = {0, 0, 255};
    layers.ngcIcColour = {0, 255, 0};
    return layers;
}
