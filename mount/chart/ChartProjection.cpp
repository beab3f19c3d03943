#include "ChartProjection.h"

#include "StarCatalog.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double radians = M_PI / 180;
// Points this close to 90 degrees from the centre would land beyond any image.
constexpr double horizonCosine = 1e-9;

} // namespace

SkyVector SkyVector::of(double ra, double dec) {
    const double a = ra * radians, d = dec * radians;
    return {std::cos(d) * std::cos(a), std::cos(d) * std::sin(a), std::sin(d)};
}

ChartProjection::ChartProjection(double centerRa, double centerDec, double scale, int quarterTurns,
                                 cv::Point2d pixel)
    : centre(SkyVector::of(centerRa, centerDec))
    , chartScale(scale)
    , turns(((quarterTurns % 4) + 4) % 4)
    , centrePixel(pixel) {
    const double a = centerRa * radians, d = centerDec * radians;
    east = {-std::sin(a), std::cos(a), 0};
    north = {-std::sin(d) * std::cos(a), -std::sin(d) * std::sin(a), std::cos(d)};
}

bool ChartProjection::project(const SkyVector& point, cv::Point2d* at) const {
    const double c = point.dot(centre);
    if (!(c > horizonCosine))
        return false;
    // North up, east left; then the quarter turns clockwise, (u, v) -> (-v, u) each.
    double u = -chartScale * point.dot(east) / c;
    double v = -chartScale * point.dot(north) / c;
    for (int i = 0; i < turns; ++i) {
        const double w = u;
        u = -v;
        v = w;
    }
    *at = centrePixel + cv::Point2d(u, v);
    return true;
}

bool ChartProjection::project(double ra, double dec, cv::Point2d* at) const {
    return project(SkyVector::of(ra, dec), at);
}

SkyPosition ChartProjection::skyAt(cv::Point2d pixel) const {
    double u = pixel.x - centrePixel.x, v = pixel.y - centrePixel.y;
    for (int i = 0; i < turns; ++i) {
        const double w = v;
        v = -u;
        u = w;
    }
    const double xi = -u / chartScale, eta = -v / chartScale;
    const SkyVector p{centre.x + xi * east.x + eta * north.x,
                      centre.y + xi * east.y + eta * north.y,
                      centre.z + xi * east.z + eta * north.z};
    const double length = std::sqrt(p.dot(p));
    SkyPosition sky;
    sky.ra = std::atan2(p.y, p.x) / radians;
    if (sky.ra < 0)
        sky.ra += 360;
    sky.dec = std::asin(std::clamp(p.z / length, -1.0, 1.0)) / radians;
    return sky;
}

int quarterTurnsFacing(double centerRa, double centerDec, double upRa, double upDec) {
    int best = 0;
    double bestUpness = -2;
    for (int turns = 0; turns < 4; ++turns) {
        const ChartProjection projection(centerRa, centerDec, 1.0, turns, {0, 0});
        cv::Point2d at;
        if (!projection.project(upRa, upDec, &at) || cv::norm(at) == 0)
            continue;
        const double upness = -at.y / cv::norm(at);
        if (upness > bestUpness) {
            bestUpness = upness;
            best = turns;
        }
    }
    return best;
}

bool insideImage(cv::Point2d point, cv::Size size) {
    return point.x >= 0 && point.x < size.width && point.y >= 0 && point.y < size.height;
}

bool clipToImage(cv::Point2d& a, cv::Point2d& b, cv::Size size) {
    // Liang-Barsky against [0, width) x [0, height), in doubles: ends may lie far outside.
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double limit[4][2] = {
        {-dx, a.x}, {dx, size.width - 1 - a.x}, {-dy, a.y}, {dy, size.height - 1 - a.y}};
    double t0 = 0, t1 = 1;
    for (const auto& [p, q] : limit) {
        if (p == 0) {
            if (q < 0)
                return false;
            continue;
        }
        const double t = q / p;
        if (p < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const cv::Point2d start = a;
    a = start + t0 * cv::Point2d(dx, dy);
    b = start + t1 * cv::Point2d(dx, dy);
    return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(b.x) && std::isfinite(b.y);
}
