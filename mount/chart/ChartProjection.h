#pragma once

#include <opencv2/core/types.hpp>

struct SkyPosition;

// A direction on the sky as a unit vector: x towards RA 0 on the equator, y towards RA 90,
// z towards the north pole.
struct SkyVector {
    double x = 0, y = 0, z = 1;

    static SkyVector of(double ra, double dec);
    double dot(const SkyVector& o) const { return x * o.x + y * o.y + z * o.z; }
};

// The chart's gnomonic projection about its centre: the centre lands on `centrePixel`, the
// sky's north is up and east left when `quarterTurns` is 0, and each quarter turn turns the
// picture a quarter clockwise (1: east up, 2: south up, 3: west up). `chartScale` is pixels
// per unit of the tangent plane, so a point d degrees from the centre lies chartScale tan d
// pixels away. Everything 90 degrees or more from the centre is behind the chart.
class ChartProjection {
public:
    ChartProjection(double centerRa, double centerDec, double chartScale, int quarterTurns,
                    cv::Point2d centrePixel);

    // Where the point lands; false when it lies behind the chart.
    bool project(const SkyVector& point, cv::Point2d* at) const;
    bool project(double ra, double dec, cv::Point2d* at) const;
    // The sky position under a pixel.
    SkyPosition skyAt(cv::Point2d pixel) const;

    // The cosine of the angle from the centre: what a point must exceed to be drawn at all.
    double cosineFromCentre(const SkyVector& point) const { return point.dot(centre); }

    double scale() const { return chartScale; }
    cv::Point2d pixelOfCentre() const { return centrePixel; }

private:
    SkyVector centre, east, north;
    double chartScale;
    int turns;
    cv::Point2d centrePixel;
};

// The quarter turns of a chart about the centre that put `up` most nearly straight above it:
// a pan that carries the centre over a pole turns the chart round, so that the sky goes on
// moving the way the finger does.
int quarterTurnsFacing(double centerRa, double centerDec, double upRa, double upDec);

// Whether a point lies inside an image of that size.
bool insideImage(cv::Point2d point, cv::Size size);
// Cuts the segment to the image's rectangle; false when nothing of it is inside.
bool clipToImage(cv::Point2d& a, cv::Point2d& b, cv::Size size);
