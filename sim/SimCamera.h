#pragma once

#include "SimCameraModel.h"
#include "SkyRenderer.h"

#include <QMutex>
#include <QVector>
#include <QWaitCondition>
#include <cstdint>
#include <functional>
#include <opencv2/core.hpp>

// One simulated camera as its maker's library presents it: opened or not, a single exposure
// that takes its real time on the project's clock, video frames at the exposure's rate, a
// region and binning, 8 or 16 bits, gain and offset, and a cooler that follows its target
// with a thermal lag. Frames come from the sky renderer, through the observatory's optics as
// they were over each exposure. Safe to call from several threads.
class SimCamera {
public:
    // The optics that frame `frameNumber`, exposed from clock time `fromMs` to `toMs`, was
    // taken through; called from the reading thread.
    using OpticsOver =
        std::function<SimOptics(std::int64_t fromMs, std::int64_t toMs, std::uint64_t frameNumber)>;

    SimCamera(const SimCameraModel& model, int cameraId, const SkyRenderer& renderer,
              OpticsOver opticsOver);

    const SimCameraModel model;
    const int cameraId;

    void open();
    void close();
    bool isOpen() const;

    void setExposureUs(long us);
    long exposureUs() const;
    void setGain(long gain);
    long gain() const;
    void setFormat(int width, int height, int bin, bool bits16);
    void setSize(int width, int height);
    void setBin(int bin);
    void setBits16(bool bits16);
    int frameWidth() const;
    int frameHeight() const;
    int binning() const;
    void setScene(SimScene scene);

    void setCooler(bool on);
    bool coolerOn() const;
    void setTargetTemperature(double celsius);
    double targetTemperature() const;
    double sensorTemperature() const;

    // A single long exposure.
    void startSingle();
    bool isExposing() const;
    bool imageReady() const;
    // The finished single frame; false while exposing or when none was taken.
    bool readSingle(std::uint8_t* buffer, long bytes);
    // Ends the running exposure now, as a camera sometimes does (fault injection).
    void finishEarly();
    // The next finished single exposure cannot be read: the library reports an error
    // (fault injection).
    void failNextRead();

    // Video: frames follow each other at the exposure time (at least 10 ms apart).
    void startVideo();
    void stop();
    bool isVideoRunning() const;
    // Waits for the next video frame; waitMs < 0 waits as long as it takes.
    bool readVideo(std::uint8_t* buffer, long bytes, int waitMs);
    // The same wait, for a camera whose frames are drawn elsewhere: when the frame due now
    // was exposed, from `fromMs` to `toMs` on the clock.
    bool nextVideoFrame(int waitMs, std::int64_t* fromMs, std::int64_t* toMs);
    // How far apart video frames come: the exposure, at least 10 ms.
    std::int64_t videoFrameMs() const;

    // A camera that stops answering: reads time out and no exposure finishes. Switched back,
    // it delivers again from its next frame.
    void setSilent(bool silent);

    long frameBytes() const;

    // The camera of that ID among those of one library, or null.
    static SimCamera* withId(const QVector<SimCamera*>& cameras, int id);

private:
    bool renderInto(std::uint8_t* buffer, long bytes, std::int64_t fromMs, std::int64_t toMs);
    SimExposure exposureLocked() const;
    std::int64_t videoFrameMsLocked() const;
    double temperatureAt(std::int64_t nowMs) const;
    void startNewApproach(); // with the mutex held

    const SkyRenderer& renderer;
    const OpticsOver opticsOver; // the observatory's: every camera sees the same sky
    mutable QMutex mutex;
    QWaitCondition frameTime;
    SimScene scene = SimScene::Sky;
    bool opened = false;
    bool silent = false;
    bool failRead = false;
    long exposure = 10000;
    long gainValue = 0;
    int width, height, bin = 1;
    bool bits16 = false;
    bool cooler = false;
    double target = 0;
    // Thermal state: the temperature at `temperatureSinceMs`, heading for the then-current
    // goal with a fixed time constant.
    mutable double temperature = 20;
    mutable std::int64_t temperatureSinceMs = 0;
    enum class Mode { Idle, Single, Video } mode = Mode::Idle;
    std::int64_t exposureStartMs = 0;
    std::int64_t exposureEndMs = 0;
    bool singleTaken = false;
    std::int64_t nextVideoFrameMs = 0;
    std::uint64_t frameNumber = 0;
};
