#pragma once

#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <cstdint>

// The half-second tick source of the mount's position bookkeeping. Ticks fall on deadlines
// of the clock counted from the start or the last zeroing, so no tick is lost or drifts
// however late the thread wakes.
class GotoTimerThread : public QThread {
public:
    static constexpr int tickMs = 500;

    GotoTimerThread();
    ~GotoTimerThread() override; // stops and joins

    std::int64_t ticks() const;
    // Whether a tick came since the last call; clears it.
    bool takeTick();
    // Tick 0 again, now.
    void zero();
    void stop();

protected:
    void run() override;

private:
    mutable QMutex mutex; // the goto timer's mutex
    QWaitCondition wake;
    std::int64_t startMs = 0;
    std::int64_t tickCount = 0;
    bool tickRaised = false;
    bool stopping = false;
};
