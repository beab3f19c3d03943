#include "MountRates.h"

#include <cmath>

namespace MountRates {

namespace {

constexpr double largestField = 0xFFFFFF;

// Truncated into what a 24-bit field holds; a division by zero (infinite or not a number)
// must not reach the conversion to an integer.
std::uint32_t toField(double ticks) {
    if (!(ticks >= 0))
        return 0;
    return ticks >= largestField ? std::uint32_t(largestField) : std::uint32_t(ticks);
}

} // namespace

std::uint32_t stepPeriod(const AxisParameters& ra, double rate) {
    return toField(ra.timerFreq * baseRateSeconds / (double(ra.countsPerRev) * rate));
}

bool isHighSpeed(std::uint32_t lowSpeedPeriod) {
    return lowSpeedPeriod < 6;
}

std::uint32_t highSpeedPeriod(const AxisParameters& ra, double rate) {
    return toField(double(ra.highSpeedRatio) * ra.timerFreq * baseRateSeconds / ra.countsPerRev /
                   rate);
}

char modeDigit(bool gotoMove, bool highSpeed) {
    if (gotoMove)
        return highSpeed ? '0' : '2';
    return highSpeed ? '3' : '1';
}

std::uint32_t stepsForDegrees(std::uint32_t countsPerRev, double degrees) {
    return toField(countsPerRev * (std::fabs(degrees) / 360.0));
}

double raGuideRate(int gspeed, int dir, bool zorvanV2) {
    if (zorvanV2)
        return dir == 0 ? (gspeed == 0 ? 1.5 : 1.1) : 0.9;
    switch (gspeed) {
    case 0:
        return dir == 0 ? 1.5 : 0.5;
    case 1:
        return dir == 0 ? 2.0 : 0.3;
    case 2:
        return dir == 0 ? 3.0 : 0.2;
    default:
        // 3 and above, the guider's dialog allows up to 10.
        return dir == 0 ? gspeed + 1.0 : 0.1;
    }
}

double decGuideRate(int gspeed) {
    return gspeed == 0 ? 0.1 : gspeed;
}

std::uint32_t guideTicks(std::uint32_t amount, bool zorvanV2) {
    return amount * 862u / (zorvanV2 ? 36000u : 3600u);
}

} // namespace MountRates
