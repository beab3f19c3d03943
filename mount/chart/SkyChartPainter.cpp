#include "SkyChartPainter.h"

#include "ChartCanvas.h"
#include "ChartHits.h"
#include "ChartLayers.h"
#include "ChartProjection.h"
#include "ChartScales.h"
#include "ChartSky.h"

#include <cmath>

namespace {

constexpr int milkyWayLevels = 4; // drawn below this zoom level
constexpr int glowDiameter = 12;
constexpr int objectDiameter = 6;

// The cosine of the widest angle from the centre at which anything drawn within `margin`
// pixels of the picture can lie: everything below it is skipped before any projection.
double visibleCosine(const ChartProjection& projection, cv::Point2d centre, cv::Size size,
                     double margin) {
    const double dx = std::max(centre.x, size.width - centre.x) + margin;
    const double dy = std::max(centre.y, size.height - centre.y) + margin;
    const double reach = std::hypot(dx, dy), scale = projection.scale();
    return scale / std::hypot(scale, reach);
}

class Layers {
public:
    Layers(ChartCanvas& canvas, const ChartProjection& projection, const ChartSky& sky,
           const ChartLayers& layers, ChartHits* hits)
        : canvas(canvas)
        , projection(projection)
        , sky(sky)
        , layers(layers)
        , hits(hits)
        , visible(visibleCosine(projection, projection.pixelOfCentre(), canvas.size(), 400)) {}

    void draw() {
        if (layers.milkyWay && layers.zoomLevel < milkyWayLevels)
            milkyWay();
        constellationLines();
        if (layers.stars)
            stars();
        if (layers.constellationNames && layers.zoomLevel > 0)
            names(sky.constellationNames, layers.constellationNameColour, {0, 0}, false);
        if (layers.zoomLevel < 2)
            return;
        if (layers.famousStarNames || layers.allStarNames)
            names(sky.starNames, layers.starNameColour, {5, -5}, !layers.allStarNames);
        objects();
    }

private:
    // The point's place when it is in front of the chart and not culled.
    bool place(const SkyVector& v, cv::Point2d* at) const {
        return projection.cosineFromCentre(v) > visible && projection.project(v, at);
    }

    void milkyWay() {
        for (const ChartSky::Glow& glow : sky.milkyWay) {
            cv::Point2d at;
            if (place(glow.at, &at) && insideImage(at, canvas.size())) {
                const double g = glow.brightness;
                canvas.circle(at, glowDiameter, {std::max(g, 20.0), g, g}, true);
            }
        }
    }

    void constellationLines() {
        for (const ChartSky::Line& line : sky.lines) {
            cv::Point2d a, b;
            // Both ends in front of the chart keeps the segment straight; one end inside.
            if (projection.project(line.from, &a) && projection.project(line.to, &b) &&
                (insideImage(a, canvas.size()) || insideImage(b, canvas.size())))
                canvas.line(a, b, layers.lineColour);
        }
    }

    void stars() {
        const int count = sky.starsUpTo(ChartScales::magnitudeLimit(layers.zoomLevel));
        for (int i = 0; i < count; ++i) {
            const ChartSky::Star& star = sky.stars[std::size_t(i)];
            cv::Point2d at;
            if (!place(star.at, &at) || !insideImage(at, canvas.size()))
                continue;
            canvas.sprite(
                sky.sprites[ChartScales::spriteRow(star.vmag, layers.zoomLevel)][star.colour], at);
            addHit(ChartSky::Kind::Star, at, star.ra, star.dec, 0);
        }
    }

    void names(const std::vector<ChartSky::Label>& labels, const cv::Scalar& colour,
               cv::Point2d offset, bool famousOnly) {
        for (const ChartSky::Label& label : labels) {
            cv::Point2d at;
            if ((!famousOnly || label.famous) && place(label.at, &at) &&
                insideImage(at, canvas.size()))
                canvas.text(at + offset, label.text, colour);
        }
    }

    bool shown(const ChartSky::Object& object) const {
        switch (object.kind) {
        case ChartSky::Kind::Messier:
            return layers.messier;
        case ChartSky::Kind::Ngc:
            return layers.allNgc || (layers.famousNgc && object.famous);
        case ChartSky::Kind::Ic:
            return layers.allIc || (layers.famousIc && object.famous);
        case ChartSky::Kind::Star:
            break;
        }
        return false;
    }

    void objects() {
        static const char* const prefixes[] = {"", "M", "I", "N"};
        for (const ChartSky::Object& object : sky.objects) {
            cv::Point2d at;
            if (!shown(object) || !place(object.at, &at) || !insideImage(at, canvas.size()))
                continue;
            const cv::Scalar& colour =
                object.kind == ChartSky::Kind::Messier ? layers.messierColour : layers.ngcIcColour;
            canvas.circle(at, objectDiameter, colour);
            canvas.text(at + cv::Point2d(objectDiameter, -objectDiameter),
                        prefixes[int(object.kind)] + QString::number(object.number), colour);
            addHit(object.kind, at, object.ra, object.dec, object.number);
        }
    }

    void addHit(ChartSky::Kind kind, cv::Point2d at, double ra, double dec, int number) {
        if (hits)
            hits->add({kind, cvRound(at.x), cvRound(at.y), ra, dec, number});
    }

    ChartCanvas& canvas;
    const ChartProjection& projection;
    const ChartSky& sky;
    const ChartLayers& layers;
    ChartHits* hits;
    double visible;
};

} // namespace

void drawSky(ChartCanvas& canvas, const ChartProjection& projection, const ChartSky& sky,
             const ChartLayers& layers, ChartHits* hits) {
    Layers(canvas, projection, sky, layers, hits).draw();
}
