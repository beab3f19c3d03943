#include "TimerThread.h"

#include "CameraDevice.h"
#include "Clock.h"
#include "DebugLog.h"
#include "ProcessState.h"
#include "SettingsRecord.h"

#include <QMutexLocker>

namespace {
constexpr int rampStepSeconds = 60;
}

TimerThread::TimerThread(ProcessState& processState, CameraDevice* cooledCamera)
    : state(processState)
    , camera(cooledCamera) {}

TimerThread::~TimerThread() {
    stop();
    wait();
}

int TimerThread::exposureSeconds() const {
    const SettingsRecord& settings = *state.settings;
    return settings.timMin * 60 + settings.timSec;
}

void TimerThread::prepareSeries(bool singleFrame) {
    int seconds = exposureSeconds();
    if (state.flatCaptureMode)
        seconds = 1;
    else if (state.solveShot)
        seconds = state.settings->plateExp;
    setCountdown(seconds);
    remainingFrames = singleFrame ? 1 : state.settings->timRep;
}

void TimerThread::resetCountdown() {
    setCountdown(state.flatCaptureMode ? 1 : exposureSeconds());
}

void TimerThread::setCountdown(int seconds) {
    QMutexLocker lock(&timerMutex);
    countdownSeconds = seconds;
}

int TimerThread::countdown() const {
    QMutexLocker lock(&timerMutex);
    return countdownSeconds;
}

void TimerThread::startAuxCount() {
    QMutexLocker lock(&auxMutex);
    auxRunning = true;
    auxSeconds = 0;
}

void TimerThread::stopAuxCount() {
    QMutexLocker lock(&auxMutex);
    auxRunning = false;
    auxSeconds = 0;
}

int TimerThread::auxCount() const {
    QMutexLocker lock(&auxMutex);
    return auxSeconds;
}

void TimerThread::startSlowCool() {
    QMutexLocker lock(&rampMutex);
    coolTicks = 0;
    if (state.settings->slowC > 0 && camera)
        coolingRamp = true;
    warmingRamp = false;
}

void TimerThread::startSlowWarm() {
    const int slowW = state.settings->slowW;
    QMutexLocker lock(&rampMutex);
    if (slowW > 0 && camera) {
        warmTicks = 0;
        warmingRamp = true;
        {
            QMutexLocker frameLock(&state.frameMutex);
            lastTemperature = camera->getTemperature();
        }
        camera->setTargetTemperature(slowW + lastTemperature);
    }
    coolingRamp = false;
}

void TimerThread::stopRamps() {
    QMutexLocker lock(&rampMutex);
    coolingRamp = false;
    warmingRamp = false;
    coolTicks = 0;
    warmTicks = 0;
}

bool TimerThread::slowCooling() const {
    QMutexLocker lock(&rampMutex);
    return coolingRamp;
}

bool TimerThread::slowWarming() const {
    QMutexLocker lock(&rampMutex);
    return warmingRamp;
}

void TimerThread::tick() {
    {
        QMutexLocker lock(&timerMutex);
        --countdownSeconds;
    }
    {
        QMutexLocker lock(&auxMutex);
        if (auxRunning)
            ++auxSeconds;
    }
    if (camera)
        temperature = camera->getTemperature();
    stepRamps();
}

void TimerThread::stepRamps() {
    QMutexLocker lock(&rampMutex);
    const SettingsRecord& settings = *state.settings;
    if (coolingRamp) {
        if (++coolTicks < rampStepSeconds)
            return;
        const int next = temperature - settings.slowC;
        if (next < settings.temp) {
            camera->setTargetTemperature(settings.temp);
            coolingRamp = false;
        } else {
            camera->setTargetTemperature(next);
        }
        coolTicks = 0;
    } else if (warmingRamp) {
        if (++warmTicks < rampStepSeconds)
            return;
        if (lastTemperature < temperature) {
            camera->setTargetTemperature(settings.slowW + temperature);
        } else {
            warmingRamp = false;
            camera->coolerOff();
        }
        lastTemperature = temperature;
        warmTicks = 0;
    }
}

void TimerThread::stop() {
    QMutexLocker lock(&stopMutex);
    stopping = true;
    stopRequested.wakeAll();
}

void TimerThread::run() {
    debugLog("start timer");
    // Ticks follow a deadline, so time spent in a tick does not make the clock slow.
    std::int64_t next = Clock::nowMs() + 1000;
    QMutexLocker lock(&stopMutex);
    while (!stopping) {
        const std::int64_t left = next - Clock::nowMs();
        if (left > 0) {
            stopRequested.wait(&stopMutex, Clock::realMs(left));
            continue;
        }
        lock.unlock();
        tick();
        lock.relock();
        next += 1000;
    }
}
