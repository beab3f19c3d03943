#include "Clock.h"

#include <QThread>
#include <algorithm>
#include <chrono>

namespace {

using Steady = std::chrono::steady_clock;

struct ScaledTime {
    // Scaled time is continuous across scale changes: it restarts from `baseScaledMs` at
    // `baseReal` with the new factor.
    Steady::time_point baseReal = Steady::now();
    double baseScaledMs = 0;
    double factor = 1;
    QDateTime startDate = QDateTime::currentDateTime();
    bool startDateSet = false; // the date runs from a chosen start, not the system's
};

double initialScale() {
    bool ok = false;
    const double fromEnv = qEnvironmentVariable("VESPERIX_CLOCK_SCALE").toDouble(&ok);
    return ok && fromEnv > 0 ? fromEnv : 1.0;
}

ScaledTime& time() {
    static ScaledTime* t = [] {
        auto* s = new ScaledTime;
        s->factor = initialScale();
        const QString start = qEnvironmentVariable("VESPERIX_CLOCK_START");
        const QDateTime date = QDateTime::fromString(start, Qt::ISODate);
        if (date.isValid()) {
            s->startDate = date;
            s->startDateSet = true;
        }
        return s;
    }();
    return *t;
}

double scaledNow(const ScaledTime& t) {
    const double realMs =
        std::chrono::duration<double, std::milli>(Steady::now() - t.baseReal).count();
    return t.baseScaledMs + realMs * t.factor;
}

} // namespace

std::int64_t Clock::nowMs() {
    return std::int64_t(scaledNow(time()));
}

void Clock::sleepMs(std::int64_t ms) {
    if (ms <= 0)
        return;
    const double realMs = double(ms) / time().factor;
    QThread::usleep((unsigned long)(realMs * 1000));
}

unsigned long Clock::realMs(std::int64_t scaledMs) {
    if (scaledMs <= 0)
        return 0;
    return std::max(1ul, (unsigned long)(double(scaledMs) / time().factor));
}

QDateTime Clock::currentDateTime() {
    const ScaledTime& t = time();
    if (t.factor == 1 && t.baseScaledMs == 0 && !t.startDateSet)
        return QDateTime::currentDateTime();
    return t.startDate.addMSecs(std::int64_t(scaledNow(t)));
}

QDateTime Clock::dateTimeAt(std::int64_t clockMs) {
    return time().startDate.addMSecs(clockMs);
}

void Clock::setStartDate(const QDateTime& start) {
    ScaledTime& t = time();
    // The date is `start` now, and runs on at the clock's pace.
    t.startDate = start.addMSecs(-std::int64_t(scaledNow(t)));
    t.startDateSet = true;
}

double Clock::scale() {
    return time().factor;
}

void Clock::setScale(double factor) {
    if (factor <= 0)
        return;
    ScaledTime& t = time();
    const double now = scaledNow(t);
    t.baseReal = Steady::now();
    t.baseScaledMs = now;
    t.factor = factor;
}
