#pragma once

#include <QDateTime>

// Where a star of the J2000 catalogues is seen at one instant: carried to the equator and
// equinox of the date by precession, then moved by the main terms of nutation and by annual
// aberration. Near the pole these reach half a minute of arc, which a polar scope shows.
// The rotation and the Earth's velocity are computed once per instant, so many stars cost
// little each. Angles are degrees.
class ApparentPlace {
public:
    // `utc`: the instant in universal time (the value's calendar date and time are read as UT).
    explicit ApparentPlace(const QDateTime& utc);

    struct Place {
        double ra = 0; // [0, 360)
        double dec = 0;
    };
    Place operator()(double raJ2000, double decJ2000) const;

    // The same on unit vectors (x towards RA 0, z towards the pole): J2000 in, of date out.
    void apply(const double j2000[3], double ofDate[3]) const;

private:
    double rotation[3][3];   // precession, then nutation
    double earthVelocity[3]; // in units of the speed of light, equator of date
};
