#include "GuideErrorStats.h"

#include "DebugLog.h"
#include "GuideLaw.h"
#include "SettingsRecord.h"

#include <algorithm>
#include <cmath>

namespace {
const int autoModeValue = 0;
}

int GuideErrorStats::windowLength(int gexposure) {
    static const int lengths[] = {10240, 5120, 2560, 1280, 640, 320, 160, 80, 40, 20, 10, 5, 3, 1};
    return lengths[std::clamp(gexposure, 0, 13)];
}

void GuideErrorStats::reset(int length) {
    *this = GuideErrorStats();
    windowSize = length;
}

void GuideErrorStats::addTo(Axis& axis, double v, bool first) {
    axis.sum += v;
    axis.sumSquares += v * v;
    if (first) {
        axis.max = v;
        axis.min = v;
    } else {
        axis.max = std::max(axis.max, v);
        axis.min = std::min(axis.min, v);
    }
}

bool GuideErrorStats::autoStep(int& sensitivity, double mean, double variance,
                               double previousMean) {
    const int before = sensitivity;
    const double a = std::fabs(mean);
    if (a < 0.2 && variance > 0.04) {
        if (sensitivity > 1)
            sensitivity = GuideLaw::sensitivityStepDown(sensitivity);
    } else if (a > 0.2 && variance < 0.04) {
        // A steady error that is already shrinking fast is left to shrink.
        const bool shrinking = previousMean * mean > 0 && std::fabs(previousMean) - a > 0.2;
        if (!shrinking)
            sensitivity = GuideLaw::sensitivityStepUp(sensitivity);
    } else if (variance > 1.0 && sensitivity >= 11) {
        sensitivity = 10;
    }
    return sensitivity != before;
}

bool GuideErrorStats::add(double x, double y, SettingsRecord& settings, bool xIsRa) {
    addTo(ax, x, count == 0);
    addTo(ay, y, count == 0);
    ++count;
    if (count < windowSize)
        return false;

    const double meanX = ax.sum / count;
    const double meanY = ay.sum / count;
    const double varX = ax.sumSquares / count - meanX * meanX;
    const double varY = ay.sumSquares / count - meanY * meanY;
    debugLog("avgX=%f, avgY=%f, fraX=%f, fraY=%f", meanX, meanY, varX, varY);

    bool changed = false;
    if (settings.modeRa == autoModeValue) {
        changed |= xIsRa ? autoStep(settings.senceRa, meanX, varX, previousMeanX)
                         : autoStep(settings.senceRa, meanY, varY, previousMeanY);
    }
    if (settings.modeDec == autoModeValue) {
        changed |= xIsRa ? autoStep(settings.senceDec, meanY, varY, previousMeanY)
                         : autoStep(settings.senceDec, meanX, varX, previousMeanX);
    }
    previousMeanX = meanX;
    previousMeanY = meanY;
    // The rule as the guider has it: a square is never negative, so the flags end up set after
    // every completed window.
    rawX = !(0 > ax.max * ax.max && std::fabs(meanX) < 0.5);
    rawY = !(0 > ay.max * ay.max && std::fabs(meanY) < 0.5);

    count = 0;
    ax = Axis();
    ay = Axis();
    return changed;
}
