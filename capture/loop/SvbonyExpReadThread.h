#pragma once

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

class CameraDevice;

// Reads the SVBONY camera's long exposures: the library delivers a triggered exposure as a
// video frame, in a read that blocks for the whole exposure, so it cannot run on the UI
// thread. Started only when the main camera is an SVBONY camera.
class SvbonyExpReadThread : public QThread {
public:
    explicit SvbonyExpReadThread(CameraDevice& camera);
    ~SvbonyExpReadThread() override;

    // After startSnap: a snap is pending, read it now.
    void wake();
    void stop();

protected:
    void run() override;

private:
    CameraDevice& camera;
    QMutex mutex;
    QWaitCondition woken;
    bool stopping = false;
};
