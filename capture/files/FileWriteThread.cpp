#include "FileWriteThread.h"

#include "MainLoopWake.h"

#include <QMutexLocker>

FileWriteThread::FileWriteThread(DataFolder& dataFolder)
    : folder(dataFolder) {}

FileWriteThread::~FileWriteThread() {
    wait();
}

void FileWriteThread::startWriting(FrameWriteJob next) {
    wait(); // the previous write has ended before busy could clear; this only joins it
    {
        QMutexLocker lock(&busyMutex);
        busy = true;
        result.reset();
    }
    job = std::move(next);
    start();
}

bool FileWriteThread::writeBusy() const {
    QMutexLocker lock(&busyMutex);
    return busy;
}

std::optional<WrittenFiles> FileWriteThread::takeResult() {
    QMutexLocker lock(&busyMutex);
    std::optional<WrittenFiles> taken = std::move(result);
    result.reset();
    return taken;
}

void FileWriteThread::clearBusy() {
    QMutexLocker lock(&busyMutex);
    busy = false;
}

void FileWriteThread::run() {
    WrittenFiles written = writeFrameFiles(job, folder);
    job.frame.release(); // the frame's memory goes back before the next exposure needs it
    {
        QMutexLocker lock(&busyMutex);
        result = std::move(written);
    }
    wakeMainLoop();
}
