#pragma once

#include "PoleTarget.h"

#include <QPoint>
#include <QVector>

// The star positions the user takes with "Point" while turning the RA axis between them, in
// full camera pixels. Three give the axis centre, which is kept as a fourth point until the
// next press starts over.
class StarPoints {
public:
    static constexpr int needed = 3;

    int count() const { return taken.size(); }
    const QVector<QPoint>& points() const { return taken; }
    bool hasCentre() const { return taken.size() > needed; }
    // What the next "Point" does: take a star while fewer than three are taken.
    bool wantsStar() const { return taken.size() < needed; }

    void add(const QPoint& star);
    // "Clear": the last point goes.
    void dropLast();
    void clear() { taken.clear(); }

    // The axis centre through the three points. When it is taken it becomes the fourth
    // point; otherwise the points are discarded.
    PoleTarget::AxisCentre computeCentre();

private:
    QVector<QPoint> taken;
};
