#include "ApparentPlace.h"

#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double radiansPerDegree = pi / 180;
constexpr double radiansPerArcsecond = radiansPerDegree / 3600;

// Terrestrial time runs ahead of universal time by about this much in these decades.
constexpr double ttMinusUtSeconds = 69;
constexpr double j2000JulianDate = 2451545.0;

constexpr double aberrationConstant = 20.49552 * radiansPerArcsecond;

using Matrix = double[3][3];

// Rotations of the axes (not of the vector) about x and z by `angle` radians.
void rotationX(double angle, Matrix m) {
    const double c = std::cos(angle), s = std::sin(angle);
    const double r[3][3] = {{1, 0, 0}, {0, c, s}, {0, -s, c}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] = r[i][j];
}

void rotationY(double angle, Matrix m) {
    const double c = std::cos(angle), s = std::sin(angle);
    const double r[3][3] = {{c, 0, -s}, {0, 1, 0}, {s, 0, c}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] = r[i][j];
}

void rotationZ(double angle, Matrix m) {
    const double c = std::cos(angle), s = std::sin(angle);
    const double r[3][3] = {{c, s, 0}, {-s, c, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] = r[i][j];
}

// m = a · m
void applyBefore(const Matrix a, Matrix m) {
    double product[3][3] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                product[i][j] += a[i][k] * m[k][j];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] = product[i][j];
}

void turn(void (*rotation)(double, Matrix), double angle, Matrix m) {
    double r[3][3];
    rotation(angle, r);
    applyBefore(r, m);
}

// Julian centuries of terrestrial time since J2000.0.
double centuriesSinceJ2000(const QDateTime& utc) {
    const double julianDate =
        utc.date().toJulianDay() - 0.5 +
        (utc.time().msecsSinceStartOfDay() / 1000.0 + ttMinusUtSeconds) / 86400;
    return (julianDate - j2000JulianDate) / 36525;
}

} // namespace

ApparentPlace::ApparentPlace(const QDateTime& utc) {
    const double t = centuriesSinceJ2000(utc);

    // Precession, IAU 1976.
    const double zeta = (2306.2181 + (0.30188 + 0.017998 * t) * t) * t * radiansPerArcsecond;
    const double z = (2306.2181 + (1.09468 + 0.018203 * t) * t) * t * radiansPerArcsecond;
    const double theta = (2004.3109 - (0.42665 + 0.041833 * t) * t) * t * radiansPerArcsecond;

    // Nutation: the Moon's node (18.6 years), the Sun's and the Moon's semi-annual and
    // semi-monthly terms, and twice the node; together within about half a second of arc.
    const double node = (125.04452 - 1934.136261 * t) * radiansPerDegree;
    const double sunMeanLongitude = (280.4665 + 36000.7698 * t) * radiansPerDegree;
    const double moonMeanLongitude = (218.3165 + 481267.8813 * t) * radiansPerDegree;
    const double nutationInLongitude =
        (-17.20 * std::sin(node) - 1.32 * std::sin(2 * sunMeanLongitude) -
         0.23 * std::sin(2 * moonMeanLongitude) + 0.21 * std::sin(2 * node)) *
        radiansPerArcsecond;
    const double nutationInObliquity =
        (9.20 * std::cos(node) + 0.57 * std::cos(2 * sunMeanLongitude) +
         0.10 * std::cos(2 * moonMeanLongitude) - 0.09 * std::cos(2 * node)) *
        radiansPerArcsecond;
    const double meanObliquity =
        (84381.448 - (46.8150 + (0.00059 - 0.001813 * t) * t) * t) * radiansPerArcsecond;
    const double trueObliquity = meanObliquity + nutationInObliquity;

    // Precession turns the J2000 equator and equinox to the mean ones of the date; nutation
    // turns those, through the ecliptic, to the true ones.
    rotationZ(-zeta, rotation);
    turn(rotationY, theta, rotation);
    turn(rotationZ, -z, rotation);
    turn(rotationX, meanObliquity, rotation);
    turn(rotationZ, -nutationInLongitude, rotation);
    turn(rotationX, -trueObliquity, rotation);

    // The Sun's true longitude, low precision; the Earth moves at right angles to it. The
    // catalogues hold no elliptic terms, so the orbit's eccentricity enters the velocity.
    const double sunMeanAnomaly = (357.52911 + 35999.05029 * t) * radiansPerDegree;
    const double sunLongitude =
        sunMeanLongitude + ((1.914602 - 0.004817 * t) * std::sin(sunMeanAnomaly) +
                            0.019993 * std::sin(2 * sunMeanAnomaly)) *
                               radiansPerDegree;
    const double eccentricity = 0.016708634 - 0.000042037 * t;
    const double perihelion = (102.93735 + 1.71946 * t) * radiansPerDegree;
    const double eclipticX =
        aberrationConstant * (std::sin(sunLongitude) - eccentricity * std::sin(perihelion));
    const double eclipticY =
        aberrationConstant * (-std::cos(sunLongitude) + eccentricity * std::cos(perihelion));
    earthVelocity[0] = eclipticX;
    earthVelocity[1] = eclipticY * std::cos(trueObliquity);
    earthVelocity[2] = eclipticY * std::sin(trueObliquity);
}

void ApparentPlace::apply(const double j2000[3], double ofDate[3]) const {
    double p[3];
    for (int i = 0; i < 3; ++i)
        p[i] = rotation[i][0] * j2000[0] + rotation[i][1] * j2000[1] + rotation[i][2] * j2000[2];
    // Aberration to first order in v/c; the second order stays below 0.01″.
    const double along =
        p[0] * earthVelocity[0] + p[1] * earthVelocity[1] + p[2] * earthVelocity[2];
    double length = 0;
    for (int i = 0; i < 3; ++i) {
        ofDate[i] = p[i] + earthVelocity[i] - along * p[i];
        length += ofDate[i] * ofDate[i];
    }
    length = std::sqrt(length);
    for (int i = 0; i < 3; ++i)
        ofDate[i] /= length;
}

ApparentPlace::Place ApparentPlace::operator()(double raJ2000, double decJ2000) const {
    const double ra = raJ2000 * radiansPerDegree, dec = decJ2000 * radiansPerDegree;
    const double j2000[3] = {std::cos(dec) * std::cos(ra), std::cos(dec) * std::sin(ra),
                             std::sin(dec)};
    double ofDate[3];
    apply(j2000, ofDate);
    Place place;
    place.ra = std::atan2(ofDate[1], ofDate[0]) / radiansPerDegree;
    if (place.ra < 0)
        place.ra += 360;
    if (place.ra >= 360)
        place.ra -= 360;
    place.dec = std::asin(qBound(-1.0, ofDate[2], 1.0)) / radiansPerDegree;
    return place;
}
