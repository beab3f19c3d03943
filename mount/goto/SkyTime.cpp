#include "SkyTime.h"

#include <cmath>

namespace SkyTime {

namespace {

// The chart's conversion factors, with pi taken as 3.1415: every position the program has
// drawn and stored was made with them.
constexpr double toRadians = 0.01745277777777778;
constexpr double toDegrees = 57.29746936176985;

} // namespace

double siderealHours(int year, int month, int day, int hour, int minute, const Site& site) {
    int y = year, m = month;
    if (m < 3) {
        y -= 1;
        m += 12;
    }
    const double mjd = std::trunc(365.25 * y) + std::trunc(y / 400.0) - std::trunc(y / 100.0) +
                       std::trunc(30.59 * (m - 2)) + day - 678912;
    const double t = mjd + hour / 24.0 + minute / 1440.0 - site.timeZone / 24.0 - 40000;
    double theta = 0;
    if (site.west) {
        theta = t * 1.0027379094 + 0.671262 - site.longitude / 360.0;
        if (theta < 0)
            theta += 24.0;
    } else {
        theta = site.longitude / 360.0 + t * 1.0027379094 + 0.671262;
    }
    return (theta - std::trunc(theta)) * 24;
}

Horizontal equatorialToHorizontal(double lst, double latitude, double ra, double dec) {
    return HorizontalFrame(lst, latitude)(ra, dec);
}

HorizontalFrame::HorizontalFrame(double lst, double latitude)
    : lstRadians(toRadians * lst)
    , sinLat(std::sin(toRadians * latitude))
    , cosLat(std::cos(toRadians * latitude)) {}

Horizontal HorizontalFrame::operator()(double ra, double dec) const {
    const double x = toRadians * ra - lstRadians;
    const double d = toRadians * dec;
    const double cosD = std::cos(d), sinD = std::sin(d), cosX = std::cos(x), sinX = std::sin(x);
    Horizontal h;
    h.altitude = std::asin(cosD * cosLat * cosX + sinD * sinLat) * toDegrees;
    double az = std::atan2(-cosD * sinX, cosLat * sinD - cosD * sinLat * cosX) * toDegrees + 180;
    if (az < 0)
        az += 360;
    if (az > 360)
        az -= 360;
    h.azimuth = az;
    return h;
}

} // namespace SkyTime
