#pragma once

#include <opencv2/core/types.hpp>
#include <optional>

class ChartCanvas;
class ChartProjection;
struct SettingsRecord;

// The frames the cameras record about the telescope, as the chart shows them: the astronomy
// camera's in white, and in digital-camera mode the digital camera's in green, its centre
// moved by the offset the user set for it.
namespace FieldFrame {

// Half a side of `sideMm` millimetres through `focalMm` of focal length, in chart pixels:
// the chart's scale times the tangent of half the field angle, truncated. 0 for a side or a
// focal length that is not positive.
int halfSize(double chartScale, double sideMm, double focalMm);

// The astronomy camera's whole sensor.
struct Sensor {
    int width = 0, height = 0; // pixels
    double pixelSizeUm = 0;
};

struct Rect {
    cv::Point2d centre;
    int halfX = 0, halfY = 0;
};

struct Frames {
    std::optional<Rect> camera;
    std::optional<Rect> digitalCamera;
};

// The frames to draw about the telescope at (scopeRa, scopeDec), by the settings' `angle`,
// focal lengths, sizes and offsets; a frame whose centre lies behind the chart is left out.
Frames about(const ChartProjection& projection, const SettingsRecord& settings,
             const Sensor& sensor, bool digitalCameraMode, double scopeRa, double scopeDec);

void draw(ChartCanvas& canvas, const Frames& frames);

} // namespace FieldFrame
