#pragma once

#include <cstdint>

// The rate arithmetic of the mount. A rate is a multiple of the base rate, which turns an axis
// once in 86200 seconds; the controller runs an axis at one step per `period` ticks of its
// timer.
namespace MountRates {

constexpr double baseRateSeconds = 86200.0;

// What the controller told of an axis at initialisation.
struct AxisParameters {
    std::uint32_t countsPerRev = 0;
    std::uint32_t timerFreq = 0;
    std::uint32_t highSpeedRatio = 0;
};

// Timer ticks per step at `rate`, truncated: timerFreq * 86200 / (countsPerRev * rate). Every
// axis uses the RA axis's parameters. A value past 24 bits, or none at all (a zero rate or
// count), ends at the nearest the wire can carry.
std::uint32_t stepPeriod(const AxisParameters& ra, double rate);
// Below six ticks the controller cannot step at low speed: it runs at high speed, where each
// tick moves highSpeedRatio steps.
bool isHighSpeed(std::uint32_t lowSpeedPeriod);
std::uint32_t highSpeedPeriod(const AxisParameters& ra, double rate);

// The mode digit of ":G": "0" high-speed goto, "1" low-speed slew, "2" low-speed goto,
// "3" high-speed slew.
char modeDigit(bool gotoMove, bool highSpeed);

// Steps of an axis for an amount of degrees, truncated.
std::uint32_t stepsForDegrees(std::uint32_t countsPerRev, double degrees);

// The rate of an RA guide pulse (dir 0 speeds the axis up, dir 1 slows it), from the guide
// speed setting.
double raGuideRate(int gspeed, int dir, bool zorvanV2);
// The rate of a Dec guide pulse.
double decGuideRate(int gspeed);
// Ticks of the 10 ms guide timer that a pulse of `amount` lasts.
std::uint32_t guideTicks(std::uint32_t amount, bool zorvanV2);

} // namespace MountRates
