#include "PoleTarget.h"

#include "ApparentPlace.h"
#include "DebugLog.h"

#include <QDateTime>
#include <climits>
#include <cmath>

namespace {

constexpr int firstYear = 2015;

// Minutes and seconds by which the pole star lies closer than one degree to the pole, for
// each year from firstYear on.
const struct {
    int minutes;
    int seconds;
} closerThanOneDegree[] = {
    {19, 45}, {19, 56}, {20, 9},  {20, 22}, {20, 36}, {20, 51}, {21, 6},  {21, 21},
    {21, 37}, {21, 53}, {22, 7},  {22, 21}, {22, 34}, {22, 46}, {22, 57}, {23, 7},
    {23, 17}, {23, 26}, {23, 36}, {23, 45}, {23, 56}, {24, 7},  {24, 19}, {24, 32},
    {24, 45}, {24, 59}, {25, 13}, {25, 27}, {25, 40}, {25, 52}, {26, 3},
};
constexpr int tableYears = int(sizeof closerThanOneDegree / sizeof closerThanOneDegree[0]);

constexpr double radiansPerDegree = 0.01745328888888889;
constexpr double radiansPerHour = 0.2617916666666667;
constexpr double micrometresPerPixel = 6.75;

// The pole star in the J2000 catalogues; its proper motion is left out.
constexpr double poleStarRaJ2000 = 37.9545;
constexpr double poleStarDecJ2000 = 89.2641;

// Where a computed axis centre is accepted, in full camera pixels.
constexpr int minCentreX = 180;
constexpr int maxCentreX = 1099;
constexpr int minCentreY = 134;
constexpr int maxCentreY = 825;

// Near-collinear points put the centre far beyond any int; it stays far outside the range.
int truncated(double value) {
    return int(qBound(double(INT_MIN), std::trunc(value), double(INT_MAX)));
}

int focalMicrometres(int focalI, int focalF) {
    return focalI * 1000 + focalF * 10;
}

} // namespace

double PoleTarget::poleDistance(int year) {
    const int row = qBound(0, year - firstYear, tableYears - 1);
    const auto& entry = closerThanOneDegree[row];
    return 1.0 - entry.minutes / 60.0 - entry.seconds / 3600.0;
}

int PoleTarget::ringRadius(int year, int focalI, int focalF) {
    return int(std::tan(poleDistance(year) * radiansPerDegree) * focalMicrometres(focalI, focalF) /
               micrometresPerPixel);
}

int PoleTarget::modifiedJulianDate(int year, int month, int day) {
    // January and February count as months 13 and 14 of the year before.
    if (month <= 2) {
        year -= 1;
        month += 12;
    }
    return int(365.25 * year) + year / 400 - year / 100 + int(30.59 * (month - 2)) + day - 678912;
}

double PoleTarget::siderealHours(int year, int month, int day, int hour, int minute, int second,
                                 int longDeg, int longMin, bool west, int timeZone) {
    const double t = modifiedJulianDate(year, month, day) - 40000 + hour / 24.0 + minute / 1440.0 +
                     second / 86400.0 - timeZone / 24.0;
    const double longitude = (longDeg + longMin / 60.0) / 360.0;
    double theta = 0.671262 + 1.0027379094 * t;
    if (west) {
        theta -= longitude;
        if (theta < 0)
            theta += 24;
    } else {
        theta += longitude;
    }
    return (theta - std::trunc(theta)) * 24;
}

double PoleTarget::hourAngle(int year, int month, int day, int hour, int minute, int longDeg,
                             int longMin, bool west, int timeZone) {
    return (siderealHours(year, month, day, hour, minute, 0, longDeg, longMin, west, timeZone) -
            3) *
           radiansPerHour;
}

QPointF PoleTarget::targetOffset(double radius, double hourAngle) {
    return {-radius * std::sin(hourAngle), -radius * std::cos(hourAngle)};
}

QPointF PoleTarget::apparentTargetOffset(int year, int month, int day, int hour, int minute,
                                         int second, int longDeg, int longMin, bool west,
                                         int timeZone, int focalI, int focalF) {
    const QDateTime utc = QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC)
                              .addSecs(-timeZone * 3600);
    const ApparentPlace::Place star = ApparentPlace(utc)(poleStarRaJ2000, poleStarDecJ2000);
    // Exact degrees here: the place is good to a fraction of a pixel.
    constexpr double degree = M_PI / 180;
    const double hourAngle =
        (siderealHours(year, month, day, hour, minute, second, longDeg, longMin, west, timeZone) *
             15 -
         star.ra) *
        degree;
    const double radius =
        std::tan((90 - star.dec) * degree) * focalMicrometres(focalI, focalF) / micrometresPerPixel;
    return targetOffset(radius, hourAngle);
}

std::optional<QPoint> PoleTarget::circleCentre(const QPoint& p0, const QPoint& p1,
                                               const QPoint& p2) {
    // In doubles: the products overflow an int for points a frame apart.
    const double x0 = p0.x(), y0 = p0.y(), x1 = p1.x(), y1 = p1.y(), x2 = p2.x(), y2 = p2.y();
    const double d1 = 2 * (y0 - y2) * (x0 - x1) - 2 * (y0 - y1) * (x0 - x2);
    const double d2 = 2 * (x0 - x2) * (y0 - y1) - 2 * (x0 - x1) * (y0 - y2);
    if (d1 == 0 || d2 == 0)
        return std::nullopt;
    const double cx = ((y0 * y0 - y1 * y1 + x0 * x0 - x1 * x1) * (y0 - y2) -
                       (y0 * y0 - y2 * y2 + x0 * x0 - x2 * x2) * (y0 - y1)) /
                      d1;
    const double cy = ((x0 * x0 - x1 * x1 + y0 * y0 - y1 * y1) * (x0 - x2) -
                       (x0 * x0 - x2 * x2 + y0 * y0 - y2 * y2) * (x0 - x1)) /
                      d2;
    return QPoint(truncated(cx), truncated(cy));
}

PoleTarget::AxisCentre PoleTarget::axisCentre(const QPoint& p0, const QPoint& p1,
                                              const QPoint& p2) {
    const std::optional<QPoint> centre = circleCentre(p0, p1, p2);
    if (!centre) {
        debugLog("Center error");
        return {Outcome::NotComputable, {}};
    }
    if (centre->x() < minCentreX || centre->x() > maxCentreX || centre->y() < minCentreY ||
        centre->y() > maxCentreY) {
        debugLog("Center Range error");
        return {Outcome::OutOfRange, {}};
    }
    debugLog("Center(%d, %d)", centre->x(), centre->y());
    return {Outcome::Taken, *centre};
}
