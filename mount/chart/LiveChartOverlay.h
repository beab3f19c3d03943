#pragma once

#include "ChartProjection.h"

#include <opencv2/core/mat.hpp>

class ChartSky;
class PhotoHistory;
struct SettingsRecord;

// The sky chart drawn over the live picture: constellation lines, names, catalogue objects
// and the outlines of photographed fields, projected about the telescope's pointing onto the
// picture at its own scale, north up and then turned as the user turned the view.
class LiveChartOverlay {
public:
    LiveChartOverlay(const ChartSky& sky, const SettingsRecord& settings,
                     const PhotoHistory* history);

    // The live picture as the screen shows it.
    struct Picture {
        cv::Rect onCanvas;   // the whole picture's rectangle on the canvas
        double scale = 1;    // canvas pixels per frame pixel
        int frameWidth = 0;  // the frame's width before turning, in (binned) pixels
        int sensorWidth = 0; // the sensor's full width in pixels
        double pixelSizeUm = 0;
        int focalMm = 0;
        int displayRotation = 0; // quarter turns clockwise chosen by the user
    };
    // False, drawing nothing, when the optics are unknown.
    bool draw(cv::Mat& canvas, const Picture& picture, double ra, double dec);

    // The projection of the last drawing.
    const ChartProjection& projection() const { return lastProjection; }

private:
    const ChartSky& sky;
    const SettingsRecord& settings;
    const PhotoHistory* history;
    ChartProjection lastProjection;
};
