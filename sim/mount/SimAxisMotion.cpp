#include "SimAxisMotion.h"

#include <cmath>
#include <limits>

namespace {

const double forever = std::numeric_limits<double>::infinity();

} // namespace

SimAxisMotion SimAxisMotion::slew(double fromSpeed, double speed, double acceleration) {
    SimAxisMotion m;
    if (fromSpeed != speed && acceleration > 0) {
        const double rate = speed > fromSpeed ? acceleration : -acceleration;
        m.phases.push_back({(speed - fromSpeed) / rate, fromSpeed, rate});
    }
    m.phases.push_back({forever, speed, 0});
    return m;
}

SimAxisMotion SimAxisMotion::move(std::uint32_t steps, double topSpeed, double acceleration) {
    SimAxisMotion m;
    m.landing = steps;
    if (steps == 0)
        return m;
    const double rampSeconds = topSpeed / acceleration;
    const double rampSteps = topSpeed * rampSeconds / 2;
    if (2 * rampSteps <= steps) {
        m.phases.push_back({rampSeconds, 0, acceleration});
        m.phases.push_back({(steps - 2 * rampSteps) / topSpeed, topSpeed, 0});
        m.phases.push_back({rampSeconds, topSpeed, -acceleration});
    } else {
        // Too short to reach full speed: up half way, down the other half.
        const double peak = std::sqrt(acceleration * steps);
        m.phases.push_back({peak / acceleration, 0, acceleration});
        m.phases.push_back({peak / acceleration, peak, -acceleration});
    }
    return m;
}

SimAxisMotion SimAxisMotion::brake(double fromSpeed, double acceleration) {
    SimAxisMotion m;
    if (fromSpeed > 0 && acceleration > 0)
        m.phases.push_back({fromSpeed / acceleration, fromSpeed, -acceleration});
    return m;
}

double SimAxisMotion::distance(double seconds) const {
    double covered = 0;
    for (const Phase& p : phases) {
        const double t = std::min(seconds, p.seconds);
        covered += p.fromSpeed * t + p.acceleration * t * t / 2;
        if (seconds <= p.seconds)
            return covered;
        seconds -= p.seconds;
    }
    return landing >= 0 ? landing : covered;
}

double SimAxisMotion::speed(double seconds) const {
    for (const Phase& p : phases) {
        if (seconds < p.seconds)
            return p.fromSpeed + p.acceleration * seconds;
        seconds -= p.seconds;
    }
    return 0;
}

bool SimAxisMotion::moving(double seconds) const {
    for (const Phase& p : phases) {
        if (seconds < p.seconds)
            return true;
        seconds -= p.seconds;
    }
    return false;
}

double SimAxisMotion::remaining(double seconds) const {
    if (!phases.empty() && phases.back().seconds == forever)
        return forever;
    return distance(forever) - distance(seconds);
}
