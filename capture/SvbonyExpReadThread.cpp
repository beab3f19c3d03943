#include "SvbonyExpReadThread.h"

#include "CameraDevice.h"
#include "Clock.h"

#include <QMutexLocker>

namespace {
// Bounds each wait, so a wake-up lost to a race costs at most this much.
constexpr int idleWaitMs = 100;
} // namespace

SvbonyExpReadThread::SvbonyExpReadThread(CameraDevice& device)
    : camera(device) {}

SvbonyExpReadThread::~SvbonyExpReadThread() {
    stop();
    wait();
}

void SvbonyExpReadThread::wake() {
    QMutexLocker lock(&mutex);
    woken.wakeAll();
}

void SvbonyExpReadThread::stop() {
    QMutexLocker lock(&mutex);
    stopping = true;
    woken.wakeAll();
}

void SvbonyExpReadThread::run() {
    for (;;) {
        {
            QMutexLocker lock(&mutex);
            while (!stopping && !camera.svbonySnapIsPending())
                woken.wait(&mutex, idleWaitMs);
            if (stopping)
                return;
        }
        // A failed read is tried again while the snap stays pending; a pause keeps a library
        // that fails at once from spinning.
        if (!camera.readSvbonySnap())
            Clock::sleepMs(10);
    }
}
