#include "SvbonyExpReadThread.h"

#include "CameraDevice.h"
#include "Clock.h"

#include <QMutexLocker>

namespace {
// Every change the reader waits for wakes it; the bound is only a safety net, long enough
// that an idle program does not wake for it.
constexpr int idleWaitMs = 1000;
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
