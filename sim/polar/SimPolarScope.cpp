#include "SimPolarScope.h"

#include "ApparentPlace.h"
#include "Clock.h"
#include "SimSiderealTime.h"
#include "StarCatalog.h"

#include <algorithm>
#include <cmath>
#include <opencv2/core/matx.hpp>

namespace {

constexpr double degree = 3.14159265358979323846 / 180;
constexpr double arcmin = degree / 60;

// The field is about 10 degrees wide; stars this far from the pole cover it with room for a
// mount set up a few degrees off.
constexpr double nearPoleDeg = 15;

// The picture at gain 100 and 1 s, in counts of the full frame's pixels: a magnitude 0 star's
// centre, the sky, the black level and the read noise. At the start-up exposure (0.25 s) the
// pole star peaks near 120, bright but not a saturated disc.
constexpr double starPeakMag0PerSecond = 3000;
constexpr double skyPerSecond = 24;
constexpr double blackLevel = 14;
constexpr double readNoise = 1.5;
constexpr double starFwhmPx = 6; // seeing and a cheap lens
constexpr double fwhmPerSigma = 2.3548;

// The gain's effect: ten times the signal for each 100 steps.
double gainFactor(double gain) {
    return std::pow(10.0, (gain - 100) / 100);
}

// A star's light added to the three channels: a Gaussian of peak `peak` counts at (x, y).
void drawStar(cv::Mat& frame, double x, double y, double sigmaX, double sigmaY, double peak) {
    const int rx = int(std::ceil(4 * sigmaX)), ry = int(std::ceil(4 * sigmaY));
    if (!(x > -rx && x < frame.cols + rx && y > -ry && y < frame.rows + ry))
        return;
    const int cx = int(std::lround(x)), cy = int(std::lround(y));
    const int left = std::max(0, cx - rx), right = std::min(frame.cols - 1, cx + rx);
    const int top = std::max(0, cy - ry), bottom = std::min(frame.rows - 1, cy + ry);
    for (int row = top; row <= bottom; ++row) {
        const double dy = (row - y) / sigmaY;
        auto* pixel = frame.ptr<cv::Vec3b>(row);
        for (int column = left; column <= right; ++column) {
            const double dx = (column - x) / sigmaX;
            const int add = int(std::lround(peak * std::exp(-0.5 * (dx * dx + dy * dy))));
            for (int channel = 0; channel < 3; ++channel)
                pixel[column][channel] =
                    cv::saturate_cast<std::uint8_t>(pixel[column][channel] + add);
        }
    }
}

void unitVector(double ra, double dec, double v[3]) {
    v[0] = std::cos(dec * degree) * std::cos(ra * degree);
    v[1] = std::cos(dec * degree) * std::sin(ra * degree);
    v[2] = std::sin(dec * degree);
}

} // namespace

struct SimPolarScope::View {
    ApparentPlace apparent;
    double cosLst, sinLst;
    double cosLatitude, sinLatitude;
    // Local horizon frame: x east, y north, z the zenith.
    cv::Vec3d axis, right, up;
    double axisX, axisY;
};

SimPolarScope::SimPolarScope(const StarCatalog& catalog, const SimSensor& polarSensor)
    : sensor(polarSensor)
    , pixelsPerRadian(focalLengthMm * 1000 / polarSensor.pixelSizeUm) {
    for (const CatalogStar& star : catalog.stars) {
        if (star.dec < 90 - nearPoleDeg)
            continue;
        Star s;
        unitVector(star.ra, star.dec, s.v);
        s.vmag = star.vmag;
        nearPole.push_back(s);
    }
}

void SimPolarScope::setMisalignment(double altitudeArcmin, double azimuthArcmin) {
    if (!std::isfinite(altitudeArcmin) || !std::isfinite(azimuthArcmin))
        return;
    std::lock_guard<std::mutex> lock(mutex);
    current.altitudeArcmin = altitudeArcmin;
    current.azimuthArcmin = azimuthArcmin;
}

void SimPolarScope::setAxisPixel(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    std::lock_guard<std::mutex> lock(mutex);
    current.axisX = x;
    current.axisY = y;
}

void SimPolarScope::setRaAngle(double degrees) {
    if (!std::isfinite(degrees))
        return;
    std::lock_guard<std::mutex> lock(mutex);
    current.raAngleDeg = degrees;
}

void SimPolarScope::setRaTurn(double degreesPerMinute) {
    if (!std::isfinite(degreesPerMinute))
        return;
    const std::int64_t now = Clock::nowMs();
    std::lock_guard<std::mutex> lock(mutex);
    current.raAngleDeg = raAngleAt(current, now);
    current.turnDegPerMinute = degreesPerMinute;
    current.turnSinceMs = now;
}

double SimPolarScope::raAngleAt(const Settings& s, std::int64_t clockMs) {
    return s.raAngleDeg + s.turnDegPerMinute * double(clockMs - s.turnSinceMs) / 60000;
}

void SimPolarScope::setSite(const SimSite& site) {
    std::lock_guard<std::mutex> lock(mutex);
    current.site = site;
}

SimSite SimPolarScope::site() const {
    return settings().site;
}

void SimPolarScope::forceFrameSize(const QSize& size) {
    std::lock_guard<std::mutex> lock(mutex);
    current.forcedSize = size;
}

QSize SimPolarScope::frameSize(const QSize& requested) const {
    const QSize forced = settings().forcedSize;
    return forced.isEmpty() ? requested : forced;
}

SimPolarScope::Settings SimPolarScope::settings() const {
    std::lock_guard<std::mutex> lock(mutex);
    return current;
}

SimPolarScope::View SimPolarScope::viewAt(std::int64_t clockMs) const {
    const Settings s = settings();
    const QDateTime local = Clock::dateTimeAt(clockMs);
    const QDateTime ut = QDateTime(local.date(), local.time(), Qt::UTC)
                             .addMSecs(-std::llround(s.site.utcOffsetHours * 3600000));
    const double lst = (SimSiderealTime::greenwichDegrees(ut) + s.site.eastLongitudeDeg) * degree;
    const double latitude = s.site.latitudeDeg * degree;

    const cv::Vec3d pole(0, std::cos(latitude), std::sin(latitude));
    const cv::Vec3d towardsZenith(0, -std::sin(latitude), std::cos(latitude));
    const cv::Vec3d east(1, 0, 0), zenith(0, 0, 1);
    const cv::Vec3d axis = cv::normalize(pole + s.altitudeArcmin * arcmin * towardsZenith +
                                         s.azimuthArcmin * arcmin * east);
    // Up is the zenith seen from the axis; an axis at the zenith takes the pole's up instead.
    cv::Vec3d lifted = zenith - zenith.dot(axis) * axis;
    if (cv::norm(lifted) < 1e-9)
        lifted = towardsZenith - towardsZenith.dot(axis) * axis;
    const cv::Vec3d up0 = cv::normalize(lifted);
    const cv::Vec3d right0 = axis.cross(up0); // east of the axis
    const double turn = raAngleAt(s, clockMs) * degree;
    return {ApparentPlace(ut),
            std::cos(lst),
            std::sin(lst),
            std::cos(latitude),
            std::sin(latitude),
            axis,
            right0 * std::cos(turn) + up0 * std::sin(turn),
            up0 * std::cos(turn) - right0 * std::sin(turn),
            s.axisX,
            s.axisY};
}

bool SimPolarScope::place(const View& view, const double j2000[3], double* x, double* y) const {
    double d[3];
    view.apparent.apply(j2000, d);
    // cos(dec) cos(H) and cos(dec) sin(H), with the hour angle H = LST - RA.
    const double c = view.cosLst * d[0] + view.sinLst * d[1];
    const double s = view.sinLst * d[0] - view.cosLst * d[1];
    const cv::Vec3d star(-s, view.cosLatitude * d[2] - view.sinLatitude * c,
                         view.sinLatitude * d[2] + view.cosLatitude * c);
    const double along = star.dot(view.axis);
    if (!(along > 0))
        return false;
    *x = view.axisX + pixelsPerRadian * star.dot(view.right) / along;
    *y = view.axisY - pixelsPerRadian * star.dot(view.up) / along;
    return true;
}

bool SimPolarScope::project(double raJ2000, double decJ2000, std::int64_t clockMs, double* x,
                            double* y) const {
    double v[3];
    unitVector(raJ2000, decJ2000, v);
    return place(viewAt(clockMs), v, x, y);
}

cv::Mat SimPolarScope::render(const SimPolarExposure& exposure) const {
    const View view = viewAt(exposure.clockMs);
    const int width = std::max(1, exposure.width), height = std::max(1, exposure.height);
    const double scaleX = double(width) / sensor.width, scaleY = double(height) / sensor.height;
    const double light = std::max(0.0, exposure.seconds) * gainFactor(exposure.gain);
    const double sky = skyPerSecond * light;

    // A smaller frame shows the same field: every length on it scales with the frame, and
    // each of its pixels averages the sensor's, which smooths the noise.
    const double averaged = std::sqrt(std::min(1.0, scaleX * scaleY));
    cv::Mat frame(height, width, CV_8UC3);
    cv::RNG noise(exposure.seed);
    noise.fill(frame, cv::RNG::NORMAL, cv::Scalar::all(blackLevel + sky),
               cv::Scalar::all(averaged * std::sqrt(readNoise * readNoise + sky)));

    const double sigma = starFwhmPx / fwhmPerSigma;
    for (const Star& star : nearPole) {
        const double peak = starPeakMag0PerSecond * light * std::pow(10.0, -0.4 * star.vmag);
        double x, y;
        if (peak < 0.5 || !place(view, star.v, &x, &y))
            continue;
        // The program's frame counts a full pixel as half of its folded pixel: the sensor's
        // pixel centres lie half a pixel further right and down.
        const double sensorX = x + 0.5, sensorY = y + 0.5;
        drawStar(frame, (sensorX + 0.5) * scaleX - 0.5, (sensorY + 0.5) * scaleY - 0.5,
                 sigma * scaleX, sigma * scaleY, peak);
    }
    return frame;
}
