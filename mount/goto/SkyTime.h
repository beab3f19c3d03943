#pragma once

// Sidereal time and horizontal coordinates as the goto window and the chart compute them.
// Angles are degrees.
namespace SkyTime {

// The observing site: longitude in whole degrees (0..359) east, or west when `west` is set,
// and the time zone in hours ahead of universal time.
struct Site {
    int longitude = 139;
    bool west = false;
    int latitude = 38;
    int timeZone = 9;
};

// Local sidereal time in hours [0, 24) for a local date and time to the minute; the seconds
// are not taken.
double siderealHours(int year, int month, int day, int hour, int minute, const Site& site);

struct Horizontal {
    double azimuth = 0; // from the south through the east: S 0, E 90, N 180, W 270
    double altitude = 0;
};
// `lst` in degrees.
Horizontal equatorialToHorizontal(double lst, double latitude, double ra, double dec);

// The same for many points under one sky: the sidereal time's and the latitude's share of the
// work is done once.
class HorizontalFrame {
public:
    HorizontalFrame(double lst, double latitude);
    Horizontal operator()(double ra, double dec) const;

private:
    double lstRadians;
    double sinLat, cosLat;
};

} // namespace SkyTime
