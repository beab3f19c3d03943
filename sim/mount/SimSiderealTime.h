#pragma once

#include <QDateTime>

// Mean sidereal time, by the simulator's own formula.
namespace SimSiderealTime {

// Greenwich mean sidereal time in degrees, [0, 360), at universal time `ut`. The date and
// time are read as plain calendar values, whatever time zone the value carries.
double greenwichDegrees(const QDateTime& ut);

} // namespace SimSiderealTime
