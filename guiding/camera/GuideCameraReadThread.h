#pragma once

#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <atomic>
#include <opencv2/core.hpp>

class CameraDevice;

// Reads the guide camera's frames for the whole life of the program, while the autoguider's
// camera is active: one frame at a time, handed to the autoguider through the ready flag. It
// waits while a frame is ready or the camera is inactive, so it never spins; the blocking
// read in the camera library happens here, never on the UI thread.
class GuideCameraReadThread : public QThread {
public:
    explicit GuideCameraReadThread(CameraDevice& camera);
    ~GuideCameraReadThread() override;

    // The autoguider's window: frames of this size (SDK cameras, 8 bits) are read from now on,
    // any frame still ready is dropped.
    void activate(int width, int height);
    void deactivate();

    // The autoguider's step: copies a ready frame and clears the flag; false when none is ready.
    bool takeFrame(cv::Mat& frame);
    long framesRead() const { return readCount; }

    void stop();

protected:
    void run() override;

private:
    bool readFrame(cv::Mat& into);

    CameraDevice& camera;
    cv::Mat frame; // written only while the flag is clear, read only while it is set
    std::atomic<long> readCount{0};
    bool lastReadFailed = false; // the reading thread's own

    mutable QMutex guideMutex;
    QWaitCondition changed;
    bool ready = false;
    bool active = false;
    bool stopping = false;
    int generation = 0; // counts activations
};
