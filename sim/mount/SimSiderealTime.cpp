#include "SimSiderealTime.h"

#include <cmath>

namespace {

const qint64 j2000JulianDay = 2451545; // 2000-01-01 12:00 UT
const double daysPerCentury = 36525;
const double secondsPerDay = 86400;

} // namespace

double SimSiderealTime::greenwichDegrees(const QDateTime& ut) {
    // Whole days and the fraction apart, so the size of the Julian day costs no precision.
    const double dayFraction = ut.time().msecsSinceStartOfDay() / (secondsPerDay * 1000) - 0.5;
    const double days = double(ut.date().toJulianDay() - j2000JulianDay) + dayFraction;
    const double t = days / daysPerCentury;
    // IAU 1982, in seconds of time. Its term of 86400 s a day turns whole days into whole
    // turns, so only the day's fraction of it is kept.
    const double seconds = 67310.54841 + secondsPerDay * dayFraction + 8640184.812866 * t +
                           0.093104 * t * t - 6.2e-6 * t * t * t;
    const double turn = std::fmod(seconds, secondsPerDay) / secondsPerDay;
    return (turn < 0 ? turn + 1 : turn) * 360;
}
