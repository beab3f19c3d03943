#include "GotoTimerThread.h"

#include "Clock.h"

#include <QMutexLocker>

GotoTimerThread::GotoTimerThread()
    : startMs(Clock::nowMs()) {}

GotoTimerThread::~GotoTimerThread() {
    stop();
    wait();
}

std::int64_t GotoTimerThread::ticks() const {
    QMutexLocker lock(&mutex);
    return tickCount;
}

bool GotoTimerThread::takeTick() {
    QMutexLocker lock(&mutex);
    const bool raised = tickRaised;
    tickRaised = false;
    return raised;
}

void GotoTimerThread::zero() {
    QMutexLocker lock(&mutex);
    startMs = Clock::nowMs();
    tickCount = 0;
    wake.wakeAll();
}

void GotoTimerThread::stop() {
    QMutexLocker lock(&mutex);
    stopping = true;
    wake.wakeAll();
}

void GotoTimerThread::run() {
    QMutexLocker lock(&mutex);
    while (!stopping) {
        const std::int64_t now = Clock::nowMs();
        const std::int64_t due = startMs + (tickCount + 1) * tickMs;
        if (now >= due) {
            ++tickCount;
            tickRaised = true;
            continue;
        }
        wake.wait(&mutex, Clock::realMs(due - now));
    }
}
