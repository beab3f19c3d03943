#pragma once

#include <opencv2/core/types.hpp>

struct SettingsRecord;

// What a drawing of the sky shows, and in which colours (blue, green, red).
struct ChartLayers {
    int zoomLevel = 2;
    bool milkyWay = false;
    bool stars = true;
    bool constellationNames = false;
    bool famousStarNames = false;
    bool allStarNames = false;
    bool messier = false;
    bool famousNgc = false; // the well-known NGC objects
    bool allNgc = false;
    bool famousIc = false;
    bool allIc = false;
    cv::Scalar lineColour, messierColour, ngcIcColour;
    cv::Scalar constellationNameColour{0, 255, 255}; // yellow
    cv::Scalar starNameColour{255, 255, 0};          // cyan

    // The goto window's chart: the switches and colours of the settings, at a zoom level.
    static ChartLayers forChart(const SettingsRecord& settings, int zoomLevel);
    // Over the live picture: the same switches, no stars and no Milky Way (the picture has
    // them), lines white, Messier objects red, NGC and IC objects green.
    static ChartLayers forLiveView(const SettingsRecord& settings);
};
