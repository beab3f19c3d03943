#pragma once

#include "GuidePulseTimer.h"

#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <cstdint>

// Times the guide pulses in 10 ms ticks of the clock, for the whole life of the program.
// Arming an axis zeroes its tick count; its pulse has ended once the count passes the limit.
// The count follows the clock, so a fast clock shortens pulses with it and a late wake-up
// does not stretch them; from the moment a pulse falls due the thread wakes the main loop
// every tick until it has ended the pulse. With no pulse armed the thread sleeps.
class GuideTimerThread : public QThread, public GuidePulseTimer {
public:
    static constexpr int tickMs = 10;

    GuideTimerThread() = default;
    ~GuideTimerThread() override;

    void armRa(std::uint32_t limitTicks) override;
    void armDec(std::uint32_t limitTicks) override;
    // True once the armed pulse's ticks passed its limit; ending it disarms the axis.
    bool raPulseEnded();
    bool decPulseEnded();
    void disarm();
    // Clock milliseconds until the first armed pulse is due (0 when it is), -1 when none is.
    std::int64_t msUntilDue() const;

    void stop();

protected:
    void run() override;

private:
    struct Axis {
        bool armed = false;
        std::int64_t armedMs = 0;
        std::uint32_t limit = 0;
        // The tick count steps at every whole 10 ms of the clock and passes the limit at the
        // step after `limit` steps.
        std::int64_t dueMs() const { return (armedMs / tickMs + limit + 1) * tickMs; }
    };
    void arm(Axis& axis, std::uint32_t limitTicks);
    bool ended(Axis& axis);

    mutable QMutex tickMutex;
    QWaitCondition changed;
    Axis ra, dec;
    bool stopping = false;
};
