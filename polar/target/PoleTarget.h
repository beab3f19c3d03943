#pragma once

#include <QPoint>
#include <QPointF>
#include <optional>

// Where the pole star belongs in the polar scope's picture: the ring around the axis centre on
// which it lies, the place on the ring for a date, time and longitude, and the axis centre
// found from three positions of one star as the RA axis turns.
class PoleTarget {
public:
    // The pole star's distance from the pole in degrees. Years outside the table take its
    // nearest year.
    static double poleDistance(int year);

    // Radius of the ring in display pixels (6.75 micrometres each) for a lens of
    // focalI.focalF millimetres, truncated.
    static int ringRadius(int year, int focalI, int focalF);

    // Modified Julian date of a calendar date.
    static int modifiedJulianDate(int year, int month, int day);

    // Local sidereal time in hours [0, 24) for a local date and time, the site's longitude and
    // the offset of local time from UTC in hours.
    static double siderealHours(int year, int month, int day, int hour, int minute, int second,
                                int longDeg, int longMin, bool west, int timeZone);

    // Hour angle of the pole star in radians for a local date and time, the site's longitude
    // and the offset of local time from UTC in hours.
    static double hourAngle(int year, int month, int day, int hour, int minute, int longDeg,
                            int longMin, bool west, int timeZone);

    // The target on a ring of the given radius, relative to the axis centre, in display
    // pixels (y down).
    static QPointF targetOffset(double radius, double hourAngle);

    // The target where the pole star is seen at that instant, relative to the axis centre in
    // display pixels (y down): its apparent place of date, at its own distance from the pole
    // (not the ring's), for a lens of focalI.focalF millimetres. Local date and time to the
    // second, the site's longitude and the offset of local time from UTC in hours.
    static QPointF apparentTargetOffset(int year, int month, int day, int hour, int minute,
                                        int second, int longDeg, int longMin, bool west,
                                        int timeZone, int focalI, int focalF);

    // Centre of the circle through three points, truncated; none when the points are
    // collinear or two of them coincide.
    static std::optional<QPoint> circleCentre(const QPoint& p0, const QPoint& p1, const QPoint& p2);

    enum class Outcome { Taken, NotComputable, OutOfRange };
    struct AxisCentre {
        Outcome outcome;
        QPoint centre; // valid when taken
    };

    // The axis centre from three star points in full camera pixels, accepted only where the
    // camera can show the whole ring around it. Logs the result.
    static AxisCentre axisCentre(const QPoint& p0, const QPoint& p1, const QPoint& p2);
};
