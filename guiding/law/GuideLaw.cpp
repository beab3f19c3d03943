#include "GuideLaw.h"

#include <algorithm>
#include <cmath>

int GuideLaw::sensitivityStepUp(int value) {
    if (value < 10)
        return value + 1;
    if (value < 15)
        return 15;
    if (value < 20)
        return 20;
    return value + 10 <= 390 ? value + 10 : value;
}

int GuideLaw::sensitivityStepDown(int value) {
    if (value == 20)
        return 15;
    if (value == 15)
        return 10;
    if (value >= 1 && value <= 10)
        return value - 1;
    if (value == 0)
        return 0;
    return value - 10;
}

GuideLaw::Correction GuideLaw::correction(double c, int sensitivity, int threshold) {
    Correction result;
    const double s = sensitivity / 10.0;
    const double deadBand = threshold / 10.0;
    if (std::fabs(c) <= deadBand || s == 0)
        return result;
    result.u = std::clamp(c / 3, -4.0, 4.0) * 10000 / 50;
    const int d = int(std::trunc(result.u * 0.02 * s)) * 10;
    result.positive = result.u >= 0;
    result.amount = std::abs(d);
    return result;
}

double GuideLaw::pulseScale(int gpower) {
    static const double scales[] = {0.01, 0.03, 0.1, 0.3, 1.0, 3.0, 10.0, 30.0, 100.0};
    return scales[std::clamp(gpower, 0, 8)];
}

int GuideLaw::guidePulseAmount(int correctionAmount, int gpower) {
    return int(std::trunc(pulseScale(gpower) * correctionAmount));
}

int GuideLaw::calibrationPulseAmount(int calStep, double factor) {
    return int(std::trunc(calStep * 10 * factor / 50 * 10 * 0.2));
}

bool GuideLaw::pulseTarget(char letter, int* axis, int* dir) {
    switch (letter) {
    case 'W':
        *axis = 0, *dir = 0;
        return true;
    case 'E':
        *axis = 0, *dir = 1;
        return true;
    case 'N':
        *axis = 1, *dir = 0;
        return true;
    case 'S':
        *axis = 1, *dir = 1;
        return true;
    default:
        return false;
    }
}
