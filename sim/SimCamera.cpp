#include "SimCamera.h"

#include "Clock.h"

#include <QMutexLocker>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double ambientC = 20;
constexpr double maxCoolingBelowAmbient = 35;
constexpr double thermalTimeConstantMs = 30000;
constexpr std::int64_t minVideoFrameMs = 10;

} // namespace

SimCamera::SimCamera(const SimCameraModel& cameraModel, int id, const SkyRenderer& skyRenderer,
                     OpticsOver optics)
    : model(cameraModel)
    , cameraId(id)
    , renderer(skyRenderer)
    , opticsOver(std::move(optics))
    , width(cameraModel.width)
    , height(cameraModel.height) {
    temperatureSinceMs = Clock::nowMs();
}

void SimCamera::open() {
    QMutexLocker lock(&mutex);
    opened = true;
}

void SimCamera::close() {
    QMutexLocker lock(&mutex);
    opened = false;
    mode = Mode::Idle;
}

bool SimCamera::isOpen() const {
    QMutexLocker lock(&mutex);
    return opened;
}

void SimCamera::setExposureUs(long us) {
    QMutexLocker lock(&mutex);
    exposure = std::max(1L, us);
}

long SimCamera::exposureUs() const {
    QMutexLocker lock(&mutex);
    return exposure;
}

void SimCamera::setGain(long gain) {
    QMutexLocker lock(&mutex);
    gainValue = std::clamp(gain, 0L, long(model.gainMax));
}

long SimCamera::gain() const {
    QMutexLocker lock(&mutex);
    return gainValue;
}

void SimCamera::setFormat(int w, int h, int b, bool sixteen) {
    QMutexLocker lock(&mutex);
    bin = std::max(1, b);
    width = std::clamp(w, 1, model.width / bin);
    height = std::clamp(h, 1, model.height / bin);
    bits16 = sixteen;
}

void SimCamera::setSize(int w, int h) {
    QMutexLocker lock(&mutex);
    width = std::clamp(w, 1, model.width / bin);
    height = std::clamp(h, 1, model.height / bin);
}

void SimCamera::setBin(int b) {
    QMutexLocker lock(&mutex);
    bin = std::max(1, b);
    width = std::min(width, model.width / bin);
    height = std::min(height, model.height / bin);
}

void SimCamera::setBits16(bool sixteen) {
    QMutexLocker lock(&mutex);
    bits16 = sixteen;
}

int SimCamera::frameWidth() const {
    QMutexLocker lock(&mutex);
    return width;
}

int SimCamera::frameHeight() const {
    QMutexLocker lock(&mutex);
    return height;
}

int SimCamera::binning() const {
    QMutexLocker lock(&mutex);
    return bin;
}

void SimCamera::setScene(SimScene s) {
    QMutexLocker lock(&mutex);
    scene = s;
}

double SimCamera::temperatureAt(std::int64_t nowMs) const {
    // A cooler only cools: a target above the room leaves the sensor at the room's temperature.
    const double goal =
        cooler ? std::clamp(target, ambientC - maxCoolingBelowAmbient, ambientC) : ambientC;
    const double elapsed = double(nowMs - temperatureSinceMs);
    return goal + (temperature - goal) * std::exp(-elapsed / thermalTimeConstantMs);
}

// The temperature reached so far becomes the start of the next approach, before the goal
// changes.
void SimCamera::startNewApproach() {
    const std::int64_t now = Clock::nowMs();
    temperature = temperatureAt(now);
    temperatureSinceMs = now;
}

void SimCamera::setCooler(bool on) {
    QMutexLocker lock(&mutex);
    startNewApproach();
    cooler = on;
}

bool SimCamera::coolerOn() const {
    QMutexLocker lock(&mutex);
    return cooler;
}

void SimCamera::setTargetTemperature(double celsius) {
    QMutexLocker lock(&mutex);
    startNewApproach();
    target = celsius;
}

double SimCamera::targetTemperature() const {
    QMutexLocker lock(&mutex);
    return target;
}

double SimCamera::sensorTemperature() const {
    QMutexLocker lock(&mutex);
    return temperatureAt(Clock::nowMs());
}

void SimCamera::startSingle() {
    QMutexLocker lock(&mutex);
    mode = Mode::Single;
    singleTaken = false;
    exposureStartMs = Clock::nowMs();
    exposureEndMs = exposureStartMs + std::max<std::int64_t>(1, exposure / 1000);
}

bool SimCamera::isExposing() const {
    QMutexLocker lock(&mutex);
    if (mode == Mode::Video)
        return true;
    return mode == Mode::Single && (silent || Clock::nowMs() < exposureEndMs);
}

bool SimCamera::imageReady() const {
    QMutexLocker lock(&mutex);
    if (silent)
        return false;
    if (mode == Mode::Video)
        return Clock::nowMs() >= nextVideoFrameMs;
    return mode == Mode::Single && !singleTaken && Clock::nowMs() >= exposureEndMs;
}

void SimCamera::finishEarly() {
    QMutexLocker lock(&mutex);
    exposureEndMs = std::min(exposureEndMs, Clock::nowMs());
    frameTime.wakeAll();
}

bool SimCamera::readSingle(std::uint8_t* buffer, long bytes) {
    std::int64_t fromMs = 0, toMs = 0;
    {
        QMutexLocker lock(&mutex);
        if (silent || mode != Mode::Single || singleTaken || Clock::nowMs() < exposureEndMs)
            return false;
        singleTaken = true;
        mode = Mode::Idle;
        if (failRead) {
            failRead = false;
            return false;
        }
        fromMs = exposureStartMs;
        toMs = exposureEndMs;
    }
    return renderInto(buffer, bytes, fromMs, toMs);
}

void SimCamera::failNextRead() {
    QMutexLocker lock(&mutex);
    failRead = true;
}

void SimCamera::startVideo() {
    QMutexLocker lock(&mutex);
    mode = Mode::Video;
    nextVideoFrameMs = Clock::nowMs() + videoFrameMsLocked();
}

std::int64_t SimCamera::videoFrameMs() const {
    QMutexLocker lock(&mutex);
    return videoFrameMsLocked();
}

std::int64_t SimCamera::videoFrameMsLocked() const {
    return std::max(minVideoFrameMs, std::int64_t(exposure / 1000));
}

void SimCamera::stop() {
    QMutexLocker lock(&mutex);
    mode = Mode::Idle;
    frameTime.wakeAll();
}

bool SimCamera::isVideoRunning() const {
    QMutexLocker lock(&mutex);
    return mode == Mode::Video;
}

bool SimCamera::readVideo(std::uint8_t* buffer, long bytes, int waitMs) {
    std::int64_t fromMs = 0, toMs = 0;
    return nextVideoFrame(waitMs, &fromMs, &toMs) && renderInto(buffer, bytes, fromMs, toMs);
}

bool SimCamera::nextVideoFrame(int waitMs, std::int64_t* fromMs, std::int64_t* toMs) {
    QMutexLocker lock(&mutex);
    const std::int64_t giveUp = waitMs < 0 ? INT64_MAX : Clock::nowMs() + waitMs;
    for (;;) {
        if (mode != Mode::Video && mode != Mode::Single)
            return false;
        const std::int64_t due = mode == Mode::Video ? nextVideoFrameMs : exposureEndMs;
        const std::int64_t now = Clock::nowMs();
        if (!silent && now >= due)
            break;
        if (now >= giveUp)
            return false;
        // Wait in real time for the scaled remainder, woken early by stop or finishEarly.
        const std::int64_t until = silent ? giveUp : std::min(due, giveUp);
        const double realMs = std::max(1.0, double(until - now) / Clock::scale());
        frameTime.wait(&mutex, (unsigned long)std::min(realMs, 1000.0));
    }
    if (mode == Mode::Video) {
        // The frame due now was exposed for the exposure time up to then.
        *toMs = nextVideoFrameMs;
        *fromMs = *toMs - std::max<std::int64_t>(1, exposure / 1000);
        nextVideoFrameMs = std::max(nextVideoFrameMs + videoFrameMsLocked(), Clock::nowMs());
    } else {
        *fromMs = exposureStartMs;
        *toMs = exposureEndMs;
        singleTaken = true;
        mode = Mode::Idle;
    }
    return true;
}

void SimCamera::setSilent(bool s) {
    QMutexLocker lock(&mutex);
    silent = s;
    frameTime.wakeAll(); // a reader waiting out the silence takes the frame now due
}

SimCamera* SimCamera::withId(const QVector<SimCamera*>& cameras, int id) {
    for (SimCamera* c : cameras) {
        if (c->cameraId == id)
            return c;
    }
    return nullptr;
}

long SimCamera::frameBytes() const {
    QMutexLocker lock(&mutex);
    return long(width) * height * (bits16 ? 2 : 1);
}

SimExposure SimCamera::exposureLocked() const {
    SimExposure e;
    e.scene = scene;
    e.seconds = exposure / 1e6;
    // Gain in the library's steps: more gain, fewer electrons per count.
    e.electronsPerAdu = 0.76 / (1.0 + gainValue / 100.0); // full well at the top at gain 0
    e.offsetAdu = model.offset * 16;
    e.sensorTempC = temperatureAt(Clock::nowMs());
    e.width = width;
    e.height = height;
    e.bin = bin;
    e.bits16 = bits16;
    e.frameNumber = frameNumber;
    return e;
}

bool SimCamera::renderInto(std::uint8_t* buffer, long bytes, std::int64_t fromMs,
                           std::int64_t toMs) {
    SimSensor sensor;
    SimExposure exposureRequest;
    {
        QMutexLocker lock(&mutex);
        ++frameNumber;
        exposureRequest = exposureLocked();
    }
    const SimOptics optics = opticsOver(fromMs, toMs, exposureRequest.frameNumber);
    sensor = model.sensor();
    sensor.seed = std::uint32_t(cameraId * 7919 + model.width);
    // Rendered straight into the caller's buffer when it holds exactly one frame.
    const int type = exposureRequest.bits16 ? CV_16UC1 : CV_8UC1;
    const cv::Mat own(frameHeight(), frameWidth(), type, buffer);
    const bool fits = long(own.total() * own.elemSize()) == bytes;
    const cv::Mat frame = renderer.render(sensor, optics, exposureRequest, fits ? own : cv::Mat());
    const long frameSize = long(frame.total() * frame.elemSize());
    if (frame.empty() || !frame.isContinuous())
        return false;
    if (frame.data != buffer)
        std::memcpy(buffer, frame.data, size_t(std::min(bytes, frameSize)));
    return true;
}
