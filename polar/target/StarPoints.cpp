#include "StarPoints.h"

void StarPoints::add(const QPoint& star) {
    if (wantsStar())
        taken << star;
}

void StarPoints::dropLast() {
    if (!taken.isEmpty())
        taken.removeLast();
}

PoleTarget::AxisCentre StarPoints::computeCentre() {
    PoleTarget::AxisCentre result{PoleTarget::Outcome::NotComputable, QPoint()};
    if (taken.size() == needed)
        result = PoleTarget::axisCentre(taken[0], taken[1], taken[2]);
    if (result.outcome == PoleTarget::Outcome::Taken)
        taken << result.centre;
    else
        taken.clear();
    return result;
}
