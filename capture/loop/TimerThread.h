#pragma once

#include "MountChannel.h"

#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <atomic>

class CameraDevice;
struct ProcessState;

// The one-second clock of the capture: counts the running exposure or interval down, keeps
// the serial code's auxiliary counter, reads the sensor temperature of a cooled camera and
// steps the slow cooling and warming ramps once a minute.
class TimerThread : public QThread, public AuxCounter {
public:
    // `camera` is null, or the main camera when it has a cooler.
    TimerThread(ProcessState& state, CameraDevice* cooledCamera);
    ~TimerThread() override;

    // The countdown and the frames of a new series (single frame: one).
    void prepareSeries(bool singleFrame);
    // The countdown of the next exposure of the running series.
    void resetCountdown();
    void setCountdown(int seconds);
    int countdown() const;

    // Frames still to take in the series; only the capture loop changes it.
    int remaining() const { return remainingFrames; }
    void frameDone() { --remainingFrames; }

    void startAuxCount() override;
    void stopAuxCount() override;
    int auxCount() const override;

    // Cooling ramps, as the cooling buttons start and end them.
    void startSlowCool();
    void startSlowWarm();
    void stopRamps();
    bool slowCooling() const;
    bool slowWarming() const;
    int currentTemperature() const { return temperature; }

    // One second of the clock; run() calls it once a second.
    void tick();

    // Ends run() within one tick.
    void stop();

protected:
    void run() override;

private:
    int exposureSeconds() const;
    void stepRamps();

    ProcessState& state;
    CameraDevice* const camera;

    mutable QMutex timerMutex;
    int countdownSeconds = 0;
    std::atomic<int> remainingFrames{0};

    mutable QMutex auxMutex;
    int auxSeconds = 0;
    bool auxRunning = false;

    mutable QMutex rampMutex;
    bool coolingRamp = false;
    bool warmingRamp = false;
    int coolTicks = 0;
    int warmTicks = 0;
    int lastTemperature = 0;
    std::atomic<int> temperature{0};

    QMutex stopMutex;
    QWaitCondition stopRequested;
    bool stopping = false;
};
