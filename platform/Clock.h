#pragma once

#include <QDateTime>
#include <cstdint>

// The one clock of the suite. Production runs in real time; the simulator and the tests may
// run it faster (VESPERIX_CLOCK_SCALE, or setScale()), so that a two-minute exposure or a
// ten-second interval passes in a fraction of the time. Nothing else sleeps or reads the time.
class Clock {
public:
    // Milliseconds on a steady clock, scaled; only differences are meaningful.
    static std::int64_t nowMs();
    // Sleeps for the given scaled time.
    static void sleepMs(std::int64_t ms);
    // The real milliseconds a scaled wait takes, for waits on a condition (at least 1 for a
    // positive wait, so a fast clock never turns a wait into a spin).
    static unsigned long realMs(std::int64_t scaledMs);
    // The current date and time (scaled from the start of the process when the scale is not 1).
    // VESPERIX_CLOCK_START (ISO 8601, local time, e.g. 2024-03-20T21:00:00) or setStartDate()
    // makes it run from a chosen date instead, so that a sky is the same on every run.
    static QDateTime currentDateTime();
    // The date and time at a reading of nowMs(), from one fixed relation between the two, so
    // that the same reading always gives the same instant (the simulator's sky).
    static QDateTime dateTimeAt(std::int64_t clockMs);
    // Set before worker threads start, like the scale.
    static void setStartDate(const QDateTime& start);

    static double scale();
    // Set before worker threads start; it is not synchronised with readers.
    static void setScale(double factor);
};
