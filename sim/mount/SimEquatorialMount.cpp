#include "SimEquatorialMount.h"

#include "SimMountCore.h"
#include "SimSiderealTime.h"

#include <cmath>
#include <cstdlib>

namespace {

const double pi = 3.14159265358979323846;
const double degreesPerStep = 360.0 / SimMountCore::countsPerRevolution;
const double msPerMinute = 60000;

double wrapped360(double degrees) {
    double d = std::fmod(degrees, 360);
    if (d < 0)
        d += 360;
    // A hair below 0 rounds up to 360 when the turn is added.
    return d < 360 ? d : 0;
}

// Into [-180, 180).
double wrapped180(double degrees) {
    return wrapped360(degrees + 180) - 180;
}

double arcsec(double value) {
    return value / 3600;
}

} // namespace

SimEquatorialMount::SimEquatorialMount(const SimMountCore& motorCore)
    : motors(motorCore) {}

void SimEquatorialMount::setSite(double eastLongitudeDeg, double latitudeDeg,
                                 double utcOffsetHours) {
    std::lock_guard<std::mutex> lock(mutex);
    where = {eastLongitudeDeg, latitudeDeg, utcOffsetHours};
}

SimSite SimEquatorialMount::site() const {
    std::lock_guard<std::mutex> lock(mutex);
    return where;
}

void SimEquatorialMount::setDecSense(int sense) {
    std::lock_guard<std::mutex> lock(mutex);
    const std::int64_t nowMs = Clock::nowMs();
    const double before = decMotorDegrees(nowMs);
    decSense = sense < 0 ? -1 : 1;
    decClutch += before - decMotorDegrees(nowMs);
}

void SimEquatorialMount::turnTo(double ra, double dec, int side, std::int64_t clockMs) {
    std::lock_guard<std::mutex> lock(mutex);
    side = side == 2 ? 2 : 1;
    const double hourAngle = lstLocked(clockMs) - ra;
    const double fromPole = 90 - std::fmax(-90.0, std::fmin(dec, 90.0));
    if (side == 1)
        clutch(hourAngle - 90, fromPole, side, clockMs);
    else
        clutch(hourAngle + 90, -fromPole, side, clockMs);
}

void SimEquatorialMount::turnToHome(int side, std::int64_t clockMs) {
    std::lock_guard<std::mutex> lock(mutex);
    clutch(0, 0, side == 2 ? 2 : 1, clockMs);
}

// The clutches slip until the axes stand at these angles; the drift starts afresh, as the
// user has just pointed the tube.
void SimEquatorialMount::clutch(double raAxis, double decAxis, int side, std::int64_t clockMs) {
    raClutch = wrapped180(raAxis) - raMotorDegrees(clockMs) - periodicErrorDegrees(clockMs);
    decClutch = decAxis - decMotorDegrees(clockMs);
    handSide = side;
    drift.ra = drift.dec = 0;
    drift.sinceMs = clockMs;
    reference = pointingLocked(clockMs);
}

void SimEquatorialMount::setTrackingReference(std::int64_t clockMs) {
    std::lock_guard<std::mutex> lock(mutex);
    reference = pointingLocked(clockMs);
}

SimTrackingError SimEquatorialMount::trackingError(std::int64_t clockMs) const {
    std::lock_guard<std::mutex> lock(mutex);
    const SimPointing p = pointingLocked(clockMs);
    SimTrackingError e;
    e.raArcsec = wrapped180(p.ra - reference.ra) * std::cos(p.dec * pi / 180) * 3600;
    e.decArcsec = (p.dec - reference.dec) * 3600;
    return e;
}

void SimEquatorialMount::setPeriodicError(double amplitudeArcsec, double periodSeconds) {
    std::lock_guard<std::mutex> lock(mutex);
    errorAmplitude = arcsec(amplitudeArcsec);
    errorPeriodMs = periodSeconds * 1000;
}

void SimEquatorialMount::setDrift(double raArcsecPerMinute, double decArcsecPerMinute,
                                  std::int64_t clockMs) {
    std::lock_guard<std::mutex> lock(mutex);
    const double sinceMs = double(clockMs - drift.sinceMs);
    drift.ra += drift.raPerMs * sinceMs;
    drift.dec += drift.decPerMs * sinceMs;
    drift.raPerMs = arcsec(raArcsecPerMinute) / msPerMinute;
    drift.decPerMs = arcsec(decArcsecPerMinute) / msPerMinute;
    drift.sinceMs = clockMs;
}

SimPointing SimEquatorialMount::pointing(std::int64_t clockMs) const {
    std::lock_guard<std::mutex> lock(mutex);
    return pointingLocked(clockMs);
}

SimPointing SimEquatorialMount::pointingLocked(std::int64_t clockMs) const {
    const double raAxis = raMotorDegrees(clockMs) + periodicErrorDegrees(clockMs) + raClutch;
    const double decAxis = wrapped180(decMotorDegrees(clockMs) + decClutch);
    SimPointing p;
    p.pierSide = decAxis > 0 ? 1 : decAxis < 0 ? 2 : handSide;
    const double hourAngle = p.pierSide == 1 ? raAxis + 90 : raAxis - 90;
    const double sinceMs = double(clockMs - drift.sinceMs);
    p.ra = lstLocked(clockMs) - hourAngle + drift.ra + drift.raPerMs * sinceMs;
    p.dec = 90 - std::fabs(decAxis) + drift.dec + drift.decPerMs * sinceMs;
    // A drift past a pole comes down its other side.
    if (p.dec > 90 || p.dec < -90) {
        p.dec = (p.dec > 0 ? 180 : -180) - p.dec;
        p.ra += 180;
    }
    p.ra = wrapped360(p.ra);
    return p;
}

double SimEquatorialMount::lstDegrees(std::int64_t clockMs) const {
    std::lock_guard<std::mutex> lock(mutex);
    return lstLocked(clockMs);
}

// The clock's date and its milliseconds, read one after the other, disagree by the time between
// the two reads (milliseconds on a busy machine, 0.015" of sidereal time each, more on a fast
// clock). They are paired once and the pair is kept, so that the sidereal time is a function
// of the clock time alone; a date that jumps by more than a second (a start date set, the
// system's clock turned) pairs them afresh.
QDateTime SimEquatorialMount::universalTime(std::int64_t clockMs, double utcOffsetHours) {
    const QDateTime local = Clock::dateTimeAt(clockMs);
    const QDateTime plain(local.date(), local.time(), Qt::UTC);
    return plain.addMSecs(-std::llround(utcOffsetHours * 3600000));
}

double SimEquatorialMount::lstLocked(std::int64_t clockMs) const {
    const QDateTime ut = universalTime(clockMs, where.utcOffsetHours);
    return wrapped360(SimSiderealTime::greenwichDegrees(ut) + where.eastLongitudeDeg);
}

double SimEquatorialMount::raMotorDegrees(std::int64_t clockMs) const {
    return motors.motorSteps(0, clockMs) * degreesPerStep;
}

double SimEquatorialMount::decMotorDegrees(std::int64_t clockMs) const {
    return decSense * -motors.motorSteps(1, clockMs) * degreesPerStep;
}

double SimEquatorialMount::periodicErrorDegrees(std::int64_t clockMs) const {
    if (errorAmplitude == 0 || !(errorPeriodMs > 0))
        return 0;
    return errorAmplitude * std::sin(2 * pi * double(clockMs) / errorPeriodMs);
}
