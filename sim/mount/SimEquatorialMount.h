#pragma once

#include "Clock.h"

#include <QDateTime>
#include <cstdint>
#include <mutex>

class SimMountCore;

// Where the observatory is: the time zone turns the clock's local date and time into UT.
struct SimSite {
    double eastLongitudeDeg = 139;
    double latitudeDeg = 38;
    double utcOffsetHours = 9;
};

// Where the simulated mount points, at one clock time.
struct SimPointing {
    double ra = 0;  // degrees, [0, 360)
    double dec = 0; // degrees
    int pierSide = 1;
};

// How far the tube has wandered from perfect sidereal tracking, in arcseconds on the sky:
// right ascension times cos Dec (positive east) and declination (positive north).
struct SimTrackingError {
    double raArcsec = 0;
    double decArcsec = 0;
};

// The German equatorial mount over the motor controller's axes: where its tube points, as
// the truth the program is judged by. The RA axis angle is 0 with the counterweight down and
// grows with the hour angle as the counts rise; the Dec axis angle is 0 with the tube at the
// pole, positive with the tube east of the pier (pier side 1), negative west of it (side 2).
// Each angle is the motor's steps plus the offset of its clutch, which a turn by hand sets.
// Safe to share between threads.
class SimEquatorialMount {
public:
    explicit SimEquatorialMount(const SimMountCore& motors);

    void setSite(double eastLongitudeDeg, double latitudeDeg, double utcOffsetHours);
    SimSite site() const;
    // +1 (the default) or -1: which way rising Dec counts turn the Dec axis. The axis stays
    // where it is when the sense changes.
    void setDecSense(int sense);

    // The user loosens the clutches and points the tube at `ra`, `dec` (degrees) from side 1
    // (east of the pier) or 2 (west); any other side is taken as 1. The counts do not change.
    void turnTo(double ra, double dec, int side, std::int64_t clockMs = Clock::nowMs());
    // The tube at the pole and the counterweight down: hour angle +90 from side 1, -90 from 2.
    void turnToHome(int side, std::int64_t clockMs = Clock::nowMs());
    // Perfect tracking holds the RA and Dec the tube points at, at `clockMs`; the tracking
    // error counts from there. A turn by hand sets it too.
    void setTrackingReference(std::int64_t clockMs = Clock::nowMs());
    SimTrackingError trackingError(std::int64_t clockMs) const;

    // A sine on the RA axis angle; an amplitude of 0 or a period of 0 or less turns it off.
    void setPeriodicError(double amplitudeArcsec, double periodSeconds);
    // A polar misalignment's slow drift of the pointing, in arcseconds of RA and of Dec per
    // clock minute, from `clockMs` on; what drifted before stays.
    void setDrift(double raArcsecPerMinute, double decArcsecPerMinute,
                  std::int64_t clockMs = Clock::nowMs());

    SimPointing pointing(std::int64_t clockMs) const;
    double pointingRa(std::int64_t clockMs) const { return pointing(clockMs).ra; }
    double pointingDec(std::int64_t clockMs) const { return pointing(clockMs).dec; }
    int pierSide(std::int64_t clockMs) const { return pointing(clockMs).pierSide; }
    // Local mean sidereal time in degrees, [0, 360).
    double lstDegrees(std::int64_t clockMs) const;

private:
    struct Drift {
        double raPerMs = 0; // degrees
        double decPerMs = 0;
        std::int64_t sinceMs = 0;
        double ra = 0; // degrees drifted before `sinceMs`
        double dec = 0;
    };

    static QDateTime universalTime(std::int64_t clockMs, double utcOffsetHours);
    double lstLocked(std::int64_t clockMs) const;
    double raMotorDegrees(std::int64_t clockMs) const;
    double decMotorDegrees(std::int64_t clockMs) const;
    double periodicErrorDegrees(std::int64_t clockMs) const;
    SimPointing pointingLocked(std::int64_t clockMs) const;
    void clutch(double raAxis, double decAxis, int side, std::int64_t clockMs);

    const SimMountCore& motors;
    mutable std::mutex mutex;
    SimSite where;
    int decSense = 1;
    double raClutch = 0; // degrees added to the motors' angles
    double decClutch = 0;
    int handSide = 1;          // decides at a Dec axis angle of exactly 0
    double errorAmplitude = 0; // degrees
    double errorPeriodMs = 0;
    Drift drift;
    SimPointing reference; // of the tracking error
};
