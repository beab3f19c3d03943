#pragma once

#include "SimAxisMotion.h"

#include <QByteArray>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

// The simulated mount's motor controller: one command in, its reply out, with the two axes
// moving as functions of clock time. It is also the truth of where the axes are, computed
// by its own formulas, so tests can judge the program by it. Safe to share between the
// serial side's thread and a test.
class SimMountCore {
public:
    static constexpr std::uint32_t countsPerRevolution = 9024000;
    static constexpr std::uint32_t timerFrequency = 64935;
    static constexpr std::uint32_t highSpeedRatio = 16;
    static constexpr std::uint32_t centre = 0x800000;

    // An axis set off, or its speed changed, or stopped: the speed it heads for from then on,
    // in steps per second, negative when the counts fall and 0 for a stop.
    struct RateChange {
        std::int64_t clockMs;
        int axis;
        double stepsPerSecond;
    };

    // `command` runs from ":" up to, not including, its CR (":j1"); the reply is whole,
    // "=" or "!", data and CR ("=000080\r").
    QByteArray take(const QByteArray& command, std::int64_t nowMs);

    // Axis 0 is right ascension (channel "1"), axis 1 declination (channel "2").
    std::uint32_t count(int axis, std::int64_t nowMs) const;
    bool running(int axis, std::int64_t nowMs) const;
    // Degrees from the centre count.
    double degrees(int axis, std::int64_t nowMs) const;
    // Steps the motor has turned the axis since power-on, in fractions of a step. ":E" only
    // relabels the count, so it leaves this alone.
    double motorSteps(int axis, std::int64_t nowMs) const;

    // Every rate change so far, oldest first (the latest 100000 are kept).
    std::vector<RateChange> rateChanges() const;
    void clearRateChanges();

private:
    enum class Motion { Slew, Goto, Braking };

    struct Axis {
        // Settings for the next start.
        bool gotoMode = false;
        bool highSpeed = false;
        bool reverse = false;
        std::uint32_t period = 620; // about sidereal
        std::uint32_t increment = 0;
        bool initDone = false;

        // The motion in progress: from `startPosition` (unwrapped steps) at `startMs`.
        SimAxisMotion path;
        Motion motion = Motion::Slew;
        std::int64_t startMs = 0;
        double startPosition = centre;
        int sign = 1;            // -1 when the counts fall
        double acceleration = 0; // of its ramps, steps per second squared
        double relabelled = 0;   // what ":E" has added to the count
    };

    QByteArray answer(char letter, Axis& axis, std::uint32_t value, std::int64_t nowMs);
    void start(Axis& axis, std::int64_t nowMs);
    void stop(Axis& axis, std::int64_t nowMs);
    void changePeriod(Axis& axis, std::uint32_t period, std::int64_t nowMs);
    void setCount(Axis& axis, std::uint32_t value, std::int64_t nowMs);
    void follow(Axis& axis, SimAxisMotion path, Motion motion, std::int64_t nowMs);
    void record(const Axis& axis, double speed, std::int64_t nowMs);

    static double seconds(const Axis& axis, std::int64_t nowMs);
    static double position(const Axis& axis, std::int64_t nowMs);
    static bool moving(const Axis& axis, std::int64_t nowMs);
    static std::uint32_t wrapped(double position);
    static double periodSpeed(const Axis& axis);
    static double slewSpeed(const Axis& axis);
    static std::uint32_t statusBits(const Axis& axis, std::int64_t nowMs);

    mutable std::mutex mutex;
    Axis axes[2];
    std::deque<RateChange> changes;
};
