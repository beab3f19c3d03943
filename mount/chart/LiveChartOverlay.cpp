#include "LiveChartOverlay.h"

#include "ChartCanvas.h"
#include "ChartLayers.h"
#include "ChartMarks.h"
#include "PhotoHistory.h"
#include "SkyChartPainter.h"

LiveChartOverlay::LiveChartOverlay(const ChartSky& chartSky, const SettingsRecord& settingsRecord,
                                   const PhotoHistory* photoHistory)
    : sky(chartSky)
    , settings(settingsRecord)
    , history(photoHistory)
    , lastProjection(0, 0, 1, 0, {0, 0}) {}

bool LiveChartOverlay::draw(cv::Mat& canvas, const Picture& p, double ra, double dec) {
    if (p.frameWidth <= 0 || p.sensorWidth <= 0 || p.pixelSizeUm <= 0 || p.focalMm <= 0 ||
        p.scale <= 0)
        return false;
    // A frame pixel spans pixel size x binning / focal length of the tangent plane.
    const double binning = double(p.sensorWidth) / p.frameWidth;
    const double chartScale = p.scale * p.focalMm * 1000.0 / (p.pixelSizeUm * binning);
    // Pixel centres: the frame's middle lands half a pixel before the rectangle's middle.
    const cv::Point2d centre(p.onCanvas.x + p.onCanvas.width / 2.0 - 0.5,
                             p.onCanvas.y + p.onCanvas.height / 2.0 - 0.5);
    lastProjection = ChartProjection(ra, dec, chartScale, p.displayRotation, centre);
    ChartCanvas drawing(canvas);
    drawSky(drawing, lastProjection, sky, ChartLayers::forLiveView(settings), nullptr);
    if (history)
        ChartMarks::photographedFields(drawing, lastProjection, *history);
    return true;
}
