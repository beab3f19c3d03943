#include "SimFocuser.h"

#include "Clock.h"

#include <cmath>

double SimFocuser::physicalAt(std::int64_t clockMs) const {
    const double travelled = stepsPerSecond * double(clockMs - startMs) / 1000;
    const double distance = std::abs(target - from);
    if (travelled >= distance)
        return target;
    return from + (target > from ? travelled : -travelled);
}

int SimFocuser::reportedPosition(std::int64_t clockMs) const {
    std::lock_guard<std::mutex> lock(mutex);
    return int(std::lround(physicalAt(clockMs))) + offset;
}

void SimFocuser::relabel(int reported, std::int64_t clockMs) {
    std::lock_guard<std::mutex> lock(mutex);
    offset = reported - int(std::lround(physicalAt(clockMs)));
}

bool SimFocuser::moveTo(int reported, std::int64_t clockMs) {
    if (reported < 0 || reported > maxStep)
        return false;
    std::lock_guard<std::mutex> lock(mutex);
    from = physicalAt(clockMs);
    target = reported - offset;
    startMs = clockMs;
    return true;
}

bool SimFocuser::isMoving(std::int64_t clockMs) const {
    std::lock_guard<std::mutex> lock(mutex);
    return physicalAt(clockMs) != target;
}

void SimFocuser::stop(std::int64_t clockMs) {
    std::lock_guard<std::mutex> lock(mutex);
    // Stops on a whole step, as the motor does.
    from = target = std::round(physicalAt(clockMs));
    startMs = clockMs;
}

double SimFocuser::defocusPixels(std::int64_t clockMs, double pixelSizeUm) const {
    std::lock_guard<std::mutex> lock(mutex);
    if (!(pixelSizeUm > 0) || !(focalRatio > 0))
        return 0;
    return std::abs(physicalAt(clockMs) - bestFocus) * micronsPerStep / focalRatio / pixelSizeUm;
}

int SimFocuser::physicalPosition() const {
    std::lock_guard<std::mutex> lock(mutex);
    return int(std::lround(physicalAt(Clock::nowMs())));
}

void SimFocuser::setBestFocus(int physicalSteps) {
    std::lock_guard<std::mutex> lock(mutex);
    bestFocus = physicalSteps;
}

void SimFocuser::setRemoved(bool removed) {
    unplugged = removed;
}

void SimFocuser::setFocusScale(double umPerStep, double ratio) {
    std::lock_guard<std::mutex> lock(mutex);
    micronsPerStep = umPerStep;
    focalRatio = ratio;
}
