#include "GuideTimerThread.h"

#include "Clock.h"
#include "MainLoopWake.h"

#include <QMutexLocker>
#include <algorithm>
#include <limits>

GuideTimerThread::~GuideTimerThread() {
    stop();
    wait();
}

void GuideTimerThread::arm(Axis& axis, std::uint32_t limitTicks) {
    QMutexLocker lock(&tickMutex);
    axis.armed = true;
    axis.armedMs = Clock::nowMs();
    axis.limit = limitTicks;
    changed.wakeAll();
}

void GuideTimerThread::armRa(std::uint32_t limitTicks) {
    arm(ra, limitTicks);
}

void GuideTimerThread::armDec(std::uint32_t limitTicks) {
    arm(dec, limitTicks);
}

bool GuideTimerThread::ended(Axis& axis) {
    QMutexLocker lock(&tickMutex);
    if (!axis.armed || Clock::nowMs() < axis.dueMs())
        return false;
    axis.armed = false;
    return true;
}

bool GuideTimerThread::raPulseEnded() {
    return ended(ra);
}

bool GuideTimerThread::decPulseEnded() {
    return ended(dec);
}

std::int64_t GuideTimerThread::msUntilDue() const {
    QMutexLocker lock(&tickMutex);
    std::int64_t due = -1;
    for (const Axis* axis : {&ra, &dec}) {
        if (axis->armed && (due < 0 || axis->dueMs() < due))
            due = axis->dueMs();
    }
    return due < 0 ? -1 : std::max<std::int64_t>(0, due - Clock::nowMs());
}

void GuideTimerThread::disarm() {
    QMutexLocker lock(&tickMutex);
    ra.armed = dec.armed = false;
}

void GuideTimerThread::stop() {
    QMutexLocker lock(&tickMutex);
    stopping = true;
    changed.wakeAll();
}

void GuideTimerThread::run() {
    QMutexLocker lock(&tickMutex);
    while (!stopping) {
        std::int64_t next = std::numeric_limits<std::int64_t>::max();
        for (const Axis* axis : {&ra, &dec}) {
            if (axis->armed)
                next = std::min(next, axis->dueMs());
        }
        if (next <= Clock::nowMs()) {
            // A wake-up can be taken by an event loop inside a mount exchange, so it is
            // repeated every tick until the main loop has ended the pulse.
            lock.unlock();
            wakeMainLoop();
            lock.relock();
            next = Clock::nowMs() + tickMs;
        }
        if (next == std::numeric_limits<std::int64_t>::max())
            changed.wait(&tickMutex);
        else
            changed.wait(&tickMutex, Clock::realMs(next - Clock::nowMs()));
    }
}
