#include "GuideCameraReadThread.h"

#include "CameraDevice.h"
#include "Clock.h"
#include "DebugLog.h"
#include "MainLoopWake.h"

#include <QMutexLocker>
#include <exception>

GuideCameraReadThread::GuideCameraReadThread(CameraDevice& device)
    : camera(device) {}

GuideCameraReadThread::~GuideCameraReadThread() {
    stop();
    wait();
}

void GuideCameraReadThread::activate(int width, int height) {
    QMutexLocker lock(&guideMutex);
    frame.create(height, width, CV_8UC1);
    ready = false;
    active = true;
    ++generation;
    changed.wakeAll();
}

void GuideCameraReadThread::deactivate() {
    QMutexLocker lock(&guideMutex);
    active = false;
    ready = false;
}

bool GuideCameraReadThread::takeFrame(cv::Mat& copy) {
    QMutexLocker lock(&guideMutex);
    if (!ready || !active)
        return false;
    frame.copyTo(copy);
    ready = false;
    changed.wakeAll();
    return true;
}

void GuideCameraReadThread::stop() {
    QMutexLocker lock(&guideMutex);
    stopping = true;
    changed.wakeAll();
}

bool GuideCameraReadThread::readFrame(cv::Mat& into) {
    if (camera.vendor() != CameraDevice::Uvc)
        return !into.empty() && camera.getVideoData(into.data, long(into.total()));
    try {
        cv::Mat picture;
        const bool read = camera.uvc && camera.uvc->read(picture);
        // The first failed read is handed over as an empty picture, for the autoguider to tell
        // the user; those after it are not, until a read succeeds again.
        if (!read && lastReadFailed)
            return false;
        lastReadFailed = !read;
        into = read ? picture : cv::Mat();
        return true;
    } catch (const std::exception&) {
        debugLog("frame error guideCameraReadThread::run");
        return false;
    }
}

void GuideCameraReadThread::run() {
    for (;;) {
        cv::Mat into;
        int readFor = 0;
        {
            QMutexLocker lock(&guideMutex);
            while (!stopping && (!active || ready))
                changed.wait(&guideMutex);
            if (stopping)
                return;
            into = frame; // shares the buffer, which the autoguider reads only once ready
            readFor = generation;
        }
        if (!readFrame(into)) {
            // A camera that stopped answering: its library's time-out paces the retries, and
            // this pause keeps one that fails at once from spinning.
            Clock::sleepMs(10);
            continue;
        }
        ++readCount;
        {
            QMutexLocker lock(&guideMutex);
            // A frame of a camera that was stopped or set up anew meanwhile is dropped.
            if (!active || readFor != generation)
                continue;
            frame = into;
            ready = true;
        }
        wakeMainLoop();
    }
}
