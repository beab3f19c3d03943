#include "CameraReadThread.h"

#include "CameraDevice.h"
#include "Clock.h"
#include "DebugLog.h"
#include "MainLoopWake.h"
#include "ProcessState.h"

#include <QMutexLocker>

namespace {
// Every change the reader waits for wakes it; the bound is only a safety net, long enough
// that an idle program does not wake for it.
constexpr int idleWaitMs = 1000;
} // namespace

CameraReadThread::CameraReadThread(ProcessState& processState, CameraDevice& device)
    : state(processState)
    , camera(device) {}

CameraReadThread::~CameraReadThread() {
    stop();
    wait();
}

void CameraReadThread::allocate(int width, int height) {
    QMutexLocker lock(&state.frameMutex);
    liveFrame.create(height, width, CV_8UC1);
    halfLiveFrame.create(height / 2, width / 2, CV_8UC1);
}

void CameraReadThread::setBinned(bool on) {
    QMutexLocker lock(&state.frameMutex);
    binned = on;
}

void CameraReadThread::clearFrameReady() {
    QMutexLocker lock(&readyMutex);
    ready = false;
    readyChanged.wakeAll();
}

bool CameraReadThread::frameReady() const {
    QMutexLocker lock(&readyMutex);
    return ready;
}

void CameraReadThread::wake() {
    QMutexLocker lock(&readyMutex);
    readyChanged.wakeAll();
}

bool CameraReadThread::takeFrame(cv::Mat& frame) {
    if (!frameReady())
        return false;
    {
        QMutexLocker lock(&state.frameMutex);
        (binned ? halfLiveFrame : liveFrame).copyTo(frame);
    }
    clearFrameReady();
    return true;
}

void CameraReadThread::stop() {
    QMutexLocker lock(&readyMutex);
    stopping = true;
    readyChanged.wakeAll();
}

bool CameraReadThread::readFrame() {
    QMutexLocker lock(&state.frameMutex);
    if (camera.vendor() == CameraDevice::Uvc) {
        cv::Mat frame;
        if (!camera.uvc || !camera.uvc->read(frame) || frame.empty())
            return false;
        liveFrame = frame;
        return true;
    }
    cv::Mat& buffer = binned ? halfLiveFrame : liveFrame;
    if (buffer.empty())
        return false;
    return camera.getVideoData(buffer.data, long(buffer.total()));
}

void CameraReadThread::run() {
    for (;;) {
        {
            QMutexLocker lock(&readyMutex);
            while (!stopping && (state.captureState != 1 || ready))
                readyChanged.wait(&readyMutex, idleWaitMs);
            if (stopping)
                return;
        }
        // A failed read (a camera that stopped answering) is tried again; the library's
        // own time-out keeps this from spinning.
        if (!readFrame()) {
            Clock::sleepMs(10);
            continue;
        }
        ++readCount;
        {
            QMutexLocker lock(&readyMutex);
            ready = true;
        }
        wakeMainLoop();
    }
}
