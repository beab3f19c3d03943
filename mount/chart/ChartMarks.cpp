#include "ChartMarks.h"

#include "ChartCanvas.h"
#include "ChartProjection.h"
#include "StarCatalog.h"

#include <cmath>

namespace ChartMarks {

namespace {

const cv::Scalar green(0, 255, 0), yellow(0, 255, 255);

void rings(ChartCanvas& canvas, cv::Point2d at, const cv::Scalar& colour) {
    for (int diameter : {12, 14, 16, 18})
        canvas.circle(at, diameter, colour);
}

// Points along each side per edge: enough for a wide field's sides to bend as the sky does.
constexpr int edgeSteps = 8;

} // namespace

void pickedCross(ChartCanvas& canvas, cv::Point2d at) {
    for (const cv::Point2d& d :
         {cv::Point2d(1, 0), cv::Point2d(-1, 0), cv::Point2d(0, 1), cv::Point2d(0, -1)})
        canvas.line(at + 5 * d, at + 15 * d, green);
}

void target(ChartCanvas& canvas, cv::Point2d at) {
    rings(canvas, at, green);
}

void telescope(ChartCanvas& canvas, cv::Point2d at) {
    rings(canvas, at, yellow);
}

namespace {

// One field's outline: the corners on its own tangent plane, the sides followed in steps.
void fieldOutline(ChartCanvas& canvas, const ChartProjection& projection,
                  const PhotoHistoryEntry& field) {
    const auto [ra, dec, widthAngle, heightAngle, rotation] = field;
    if (!(widthAngle > 0 && heightAngle > 0 && widthAngle < 180 && heightAngle < 180))
        return;
    // The field's corners on its own tangent plane (north up, east left), turned by the
    // rotation clockwise, then through the sky onto this chart.
    const ChartProjection own(ra, dec, 1, 0, {0, 0});
    const double halfW = std::tan(widthAngle * M_PI / 360),
                 halfH = std::tan(heightAngle * M_PI / 360);
    const double c = std::cos(rotation * M_PI / 180), s = std::sin(rotation * M_PI / 180);
    const cv::Point2d corners[] = {
        {-halfW, -halfH}, {halfW, -halfH}, {halfW, halfH}, {-halfW, halfH}};
    cv::Point2d last;
    bool lastShown = false;
    for (int side = 0; side < 4; ++side) {
        const cv::Point2d from = corners[side], to = corners[(side + 1) % 4];
        for (int step = side == 0 ? 0 : 1; step <= edgeSteps; ++step) {
            const cv::Point2d p = from + (to - from) * (double(step) / edgeSteps);
            const SkyPosition sky = own.skyAt({c * p.x - s * p.y, s * p.x + c * p.y});
            cv::Point2d at;
            const bool shown = projection.project(sky.ra, sky.dec, &at);
            if (shown && lastShown)
                canvas.line(last, at, yellow);
            last = at;
            lastShown = shown;
        }
    }
}

} // namespace

void photographedFields(ChartCanvas& canvas, const ChartProjection& projection,
                        const PhotoHistory& history) {
    for (int i = 0; i < history.count(); ++i)
        fieldOutline(canvas, projection, *history.entry(i));
}

} // namespace ChartMarks
