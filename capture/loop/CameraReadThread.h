#pragma once

#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <atomic>
#include <opencv2/core.hpp>

class CameraDevice;
struct ProcessState;

// Reads live-view frames while the capture state is live view: one frame at a time, handed
// to the main loop through the ready flag. The blocking read in the camera library happens
// here, never on the UI thread.
class CameraReadThread : public QThread {
public:
    CameraReadThread(ProcessState& state, CameraDevice& camera);
    ~CameraReadThread() override;

    // The live buffers: full size, and half size for binned live view.
    void allocate(int width, int height);
    void setBinned(bool binned);

    // Under the state lock, with the capture state: the next frame may be read.
    void clearFrameReady();
    // The main loop: copies a ready frame and clears the flag; false when none is ready.
    bool takeFrame(cv::Mat& frame);
    bool frameReady() const;
    // Frames read since the start, for the live view's frame rate.
    long framesRead() const { return readCount; }
    // Wakes the reader after a change of the capture state.
    void wake();

    void stop();

protected:
    void run() override;

private:
    bool readFrame();

    ProcessState& state;
    CameraDevice& camera;
    cv::Mat liveFrame;
    cv::Mat halfLiveFrame;
    bool binned = false;
    std::atomic<long> readCount{0};

    mutable QMutex readyMutex;
    QWaitCondition readyChanged;
    bool ready = false;
    bool stopping = false;
};
