#include "SimFilterWheel.h"

#include "Clock.h"

#include <algorithm>

SimFilterWheel::SimFilterWheel(int positions)
    : positionCount(positions) {}

void SimFilterWheel::settle(std::int64_t clockMs) {
    if (turning && !stuck && clockMs >= arrivalMs) {
        standing = target;
        turning = false;
    }
}

int SimFilterWheel::position(std::int64_t clockMs) {
    std::lock_guard<std::mutex> lock(mutex);
    settle(clockMs);
    return turning ? -1 : standing;
}

SimFilterWheel::Turn SimFilterWheel::turnTo(int slot, std::int64_t clockMs) {
    if (slot < 0 || slot >= positionCount)
        return Turn::OutOfRange;
    std::lock_guard<std::mutex> lock(mutex);
    settle(clockMs);
    if (turning)
        return Turn::Busy;
    const int forward = ((slot - standing) % positionCount + positionCount) % positionCount;
    const int passed = std::min(forward, positionCount - forward);
    target = slot;
    turning = passed > 0;
    arrivalMs = clockMs + passed * msPerSlot;
    if (!turning)
        standing = slot;
    return Turn::Started;
}

void SimFilterWheel::setStuck(bool on) {
    std::lock_guard<std::mutex> lock(mutex);
    const std::int64_t now = Clock::nowMs();
    settle(now);
    stuck = on;
    if (on && !turning) {
        target = (standing + 1) % positionCount;
        turning = true;
        arrivalMs = now + msPerSlot;
    }
}

void SimFilterWheel::setRemoved(bool removed) {
    unplugged = removed;
}
