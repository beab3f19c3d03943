#include "SkyChart.h"

#include "ChartCanvas.h"
#include "ChartLayers.h"
#include "ChartMarks.h"
#include "ChartScales.h"
#include "DebugLog.h"
#include "PhotoHistory.h"
#include "SkyChartPainter.h"

namespace {

const cv::Scalar background(20, 5, 5); // rgb(5, 5, 20)

int quarterTurns(char direction) {
    switch (direction) {
    case 'E':
        return 1;
    case 'S':
        return 2;
    case 'W':
        return 3;
    default:
        return 0;
    }
}

} // namespace

SkyChart::SkyChart(const ChartSky& chartSky, const SettingsRecord& settingsRecord,
                   const PhotoHistory* photoHistory)
    : sky(chartSky)
    , settings(settingsRecord)
    , history(photoHistory)
    , level(ChartScales::firstLevel)
    , image(height, width, CV_8UC3, background)
    , lastProjection(0, 0, ChartScales::chartScale(level), 0, {centreX, centreY}) {}

double SkyChart::chartScale() const {
    return ChartScales::chartScale(level);
}

bool SkyChart::zoomIn() {
    if (level >= ChartScales::levels - 1)
        return false;
    ++level;
    debugLog("%s", qPrintable(ChartScales::fieldSizeText(chartScale())));
    return true;
}

bool SkyChart::zoomOut() {
    if (level <= 0)
        return false;
    --level;
    debugLog("%s", qPrintable(ChartScales::fieldSizeText(chartScale())));
    return true;
}

void SkyChart::setViewDirection(char d) {
    direction = quarterTurns(d) == 0 ? 'N' : d;
}

void SkyChart::drawSky(const Sky& at) {
    lastProjection = ChartProjection(at.centerRa, at.centerDec, chartScale(),
                                     quarterTurns(direction), {centreX, centreY});
    image.setTo(background);
    hitList.clear();
    ChartCanvas canvas(image);
    ::drawSky(canvas, lastProjection, sky, ChartLayers::forChart(settings, level), &hitList);
    cv::Point2d picked;
    if (at.picked && lastProjection.project(at.pickedRa, at.pickedDec, &picked))
        ChartMarks::pickedCross(canvas, picked);
}

QImage SkyChart::withMarks(const Marks& marks) const {
    QImage shown(width, height, QImage::Format_BGR888);
    cv::Mat pixels(height, width, CV_8UC3, shown.bits(), std::size_t(shown.bytesPerLine()));
    image.copyTo(pixels);
    ChartCanvas canvas(pixels);
    if (history)
        ChartMarks::photographedFields(canvas, lastProjection, *history);
    frames = FieldFrame::about(lastProjection, settings, marks.sensor, marks.digitalCameraMode,
                               marks.scopeRa, marks.scopeDec);
    FieldFrame::draw(canvas, frames);
    cv::Point2d at;
    if (marks.target && lastProjection.project(marks.targetRa, marks.targetDec, &at))
        ChartMarks::target(canvas, at);
    if (lastProjection.project(marks.scopeRa, marks.scopeDec, &at))
        ChartMarks::telescope(canvas, at);
    return shown;
}
