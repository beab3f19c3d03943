#pragma once

#include <QDateTime>

// Mean sidereal time, by the simulator's own formula.
namespace SimSiderealTime {

// Greenwich mean sidereal time in degrees, [0, 360), at universal time `ut`. The date and
// time are read as plain calendar values: the time spec plays no part.
double greenwichDegrees(const QDateTime& ut);

} // namespace SimSiderealTime
