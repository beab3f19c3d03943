#pragma once

#include "ChartHits.h"
#include "ChartProjection.h"
#include "FieldFrame.h"

#include <QImage>
#include <opencv2/core/mat.hpp>

class ChartSky;
class PhotoHistory;
struct SettingsRecord;

// The goto window's chart without the window: the sky about a centre at a zoom level and a
// view direction, drawn whole on each view change and kept, so that the half-second refresh
// of the telescope's place only draws the marks over a copy of it.
class SkyChart {
public:
    static constexpr int width = 1100, height = 640;
    static constexpr double centreX = 600, centreY = 320; // where the centre lands

    SkyChart(const ChartSky& sky, const SettingsRecord& settings, const PhotoHistory* history);

    int zoomLevel() const { return level; }
    double chartScale() const;
    // One level in or out; false at the end of the scale. Logs the chart's span.
    bool zoomIn();
    bool zoomOut();
    // The chart's up direction: 'N', 'E', 'S' or 'W'.
    void setViewDirection(char direction);
    char viewDirection() const { return direction; }

    struct Sky {
        double centerRa = 0, centerDec = 0;
        bool picked = false;
        double pickedRa = 0, pickedDec = 0;
    };
    // The sky's layers and the picked object, kept.
    void drawSky(const Sky& sky);
    struct Marks {
        bool target = false;
        double targetRa = 0, targetDec = 0;
        double scopeRa = 0, scopeDec = 0;
        // For the frames the cameras record about the telescope.
        FieldFrame::Sensor sensor;
        bool digitalCameraMode = false;
    };
    // A copy of the kept sky with the photographed fields, the cameras' frames, the goto
    // target and the telescope.
    QImage withMarks(const Marks& marks) const;
    // The cameras' frames as withMarks drew them last.
    const FieldFrame::Frames& lastFrames() const { return frames; }

    const ChartHits& hits() const { return hitList; }
    // The projection of the kept drawing: where a touch lands on the sky.
    const ChartProjection& projection() const { return lastProjection; }

private:
    const ChartSky& sky;
    const SettingsRecord& settings;
    const PhotoHistory* history;
    int level;
    char direction = 'N';
    cv::Mat image;
    ChartHits hitList;
    ChartProjection lastProjection;
    mutable FieldFrame::Frames frames;
};
