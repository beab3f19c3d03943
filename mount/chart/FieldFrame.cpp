#include "FieldFrame.h"

#include "ChartCanvas.h"
#include "ChartProjection.h"
#include "GotoMath.h"
#include "SettingsRecord.h"

#include <cmath>

namespace FieldFrame {

namespace {

// The factors the frame's geometry has always used: twice 180 / pi, and a degree a little
// short of pi / 180.
constexpr double doubleDegreesPerRadian = 114.59158286626652;
constexpr double radiansPerDegree = 0.01745277777777778;

const cv::Scalar white(255, 255, 255);
const cv::Scalar green(0, 255, 0);

std::optional<Rect> rectAbout(const ChartProjection& projection, double ra, double dec, int halfX,
                              int halfY) {
    Rect rect;
    if (!projection.project(ra, dec, &rect.centre))
        return std::nullopt;
    rect.halfX = halfX;
    rect.halfY = halfY;
    return rect;
}

void drawRect(ChartCanvas& canvas, const Rect& r, const cv::Scalar& colour) {
    canvas.rectangle(r.centre - cv::Point2d(r.halfX, r.halfY),
                     r.centre + cv::Point2d(r.halfX, r.halfY), colour);
}

} // namespace

int halfSize(double chartScale, double sideMm, double focalMm) {
    if (!(sideMm > 0) || !(focalMm > 0))
        return 0;
    const double halfAngle = std::atan2(sideMm, 2 * focalMm) * doubleDegreesPerRadian * 0.5;
    return int(chartScale / std::tan((90 - halfAngle) * radiansPerDegree));
}

Frames about(const ChartProjection& projection, const SettingsRecord& settings,
             const Sensor& sensor, bool digitalCameraMode, double scopeRa, double scopeDec) {
    Frames frames;
    if (settings.angle == 0)
        return frames;
    const double scale = projection.scale();
    if (settings._focal != 0 && sensor.pixelSizeUm != 0) {
        int halfX = halfSize(scale, sensor.width * sensor.pixelSizeUm / 1000, settings._focal);
        int halfY = halfSize(scale, sensor.height * sensor.pixelSizeUm / 1000, settings._focal);
        if (settings.angle == 2)
            std::swap(halfX, halfY);
        frames.camera = rectAbout(projection, scopeRa, scopeDec, halfX, halfY);
    }
    if (digitalCameraMode && settings.digiFocal != 0) {
        int halfX = halfSize(scale, settings.digiCenLong / 10.0, settings.digiFocal);
        int halfY = halfSize(scale, settings.digiCenShort / 10.0, settings.digiFocal);
        if (settings.digiAngle == 1)
            std::swap(halfX, halfY);
        // The frame's centre lies off the telescope's by the offset, on the side `decDir`
        // gives; the goto takes it off the object the other way.
        const double sign = settings.decDir == 1 ? -1 : 1;
        const double ra = GotoMath::wrapRa(scopeRa + sign * settings.digiOffRa / 1000.0);
        const double dec = GotoMath::foldDec(scopeDec + sign * settings.digiOffDec / 1000.0);
        frames.digitalCamera = rectAbout(projection, ra, dec, halfX, halfY);
    }
    return frames;
}

void draw(ChartCanvas& canvas, const Frames& frames) {
    if (frames.camera)
        drawRect(canvas, *frames.camera, white);
    if (frames.digitalCamera)
        drawRect(canvas, *frames.digitalCamera, green);
}

} // namespace FieldFrame
