#include "SimUvcCapture.h"

#include "SimPolarScope.h"

#include <cmath>
#include <opencv2/imgproc.hpp>

namespace {
enum Property { FrameWidth = 3, FrameHeight = 4, Gain = 14, Exposure = 15 };
} // namespace

SimUvcCapture::SimUvcCapture(QVector<SimCamera*> usbCameras, SimCamera* polar,
                             const SimPolarScope& scope)
    : cameras(std::move(usbCameras))
    , polarCamera(polar)
    , polarScope(scope) {}

bool SimUvcCapture::open(int index) {
    opened = index >= 0 && index < cameras.size() ? cameras.at(index) : nullptr;
    if (!opened)
        return false;
    opened->open();
    opened->setFormat(opened->model.width, opened->model.height, 1, false);
    properties = {{FrameWidth, opened->model.width},
                  {FrameHeight, opened->model.height},
                  {Gain, 50},
                  {Exposure, -5}};
    if (opened == polarCamera) {
        set(Gain, properties.value(Gain));
        set(Exposure, properties.value(Exposure));
        opened->startVideo();
    }
    return true;
}

bool SimUvcCapture::isOpened() const {
    return opened != nullptr;
}

void SimUvcCapture::release() {
    if (opened && opened == polarCamera)
        opened->stop();
    opened = nullptr;
}

bool SimUvcCapture::set(int property, double value) {
    if (!opened)
        return false;
    properties[property] = value;
    if (property == Exposure)
        opened->setExposureUs(long(1e6 * std::pow(2.0, value))); // the UVC scale: 2^value s
    if (property == Gain)
        opened->setGain(long(value));
    if (opened == polarCamera && (property == FrameWidth || property == FrameHeight)) {
        // The nearest size the camera has: none larger than its sensor.
        opened->setSize(property == FrameWidth ? int(value) : opened->frameWidth(),
                        property == FrameHeight ? int(value) : opened->frameHeight());
        properties[FrameWidth] = opened->frameWidth();
        properties[FrameHeight] = opened->frameHeight();
    }
    return true;
}

double SimUvcCapture::get(int property) const {
    return properties.value(property);
}

bool SimUvcCapture::grab() {
    cv::Mat discarded;
    return read(discarded);
}

bool SimUvcCapture::read(cv::Mat& frame) {
    // A read that fails leaves the frame empty, as OpenCV's capture does.
    frame.release();
    if (!opened)
        return false;
    if (opened == polarCamera)
        return readPolar(frame);
    opened->startSingle();
    opened->finishEarly();
    cv::Mat raw(opened->frameHeight(), opened->frameWidth(), CV_8UC1);
    if (!opened->readSingle(raw.data, long(raw.total())))
        return false;
    cv::cvtColor(raw, frame, cv::COLOR_BayerBG2BGR);
    return true;
}

// Waits for the frame due on the clock; a camera that has stopped sending fails the read
// after one frame time.
bool SimUvcCapture::readPolar(cv::Mat& frame) {
    if (!opened->isVideoRunning())
        opened->startVideo();
    std::int64_t fromMs = 0, toMs = 0;
    if (!opened->nextVideoFrame(int(opened->videoFrameMs()), &fromMs, &toMs))
        return false;
    SimPolarExposure exposure;
    exposure.clockMs = fromMs + (toMs - fromMs) / 2;
    exposure.seconds = opened->exposureUs() / 1e6;
    exposure.gain = double(opened->gain());
    const QSize size = polarScope.frameSize({opened->frameWidth(), opened->frameHeight()});
    exposure.width = size.width();
    exposure.height = size.height();
    exposure.seed = std::uint64_t(toMs) * 0x9e3779b97f4a7c15ULL + 1;
    frame = polarScope.render(exposure);
    return true;
}
