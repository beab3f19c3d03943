#include "SimUvcCapture.h"

#include <opencv2/imgproc.hpp>

namespace {
enum Property { FrameWidth = 3, FrameHeight = 4, Gain = 14, Exposure = 15 };
} // namespace

SimUvcCapture::SimUvcCapture(QVector<SimCamera*> usbCameras)
    : cameras(std::move(usbCameras)) {}

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
    return true;
}

bool SimUvcCapture::isOpened() const {
    return opened != nullptr;
}

void SimUvcCapture::release() {
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
    opened->startSingle();
    opened->finishEarly();
    cv::Mat raw(opened->frameHeight(), opened->frameWidth(), CV_8UC1);
    if (!opened->readSingle(raw.data, long(raw.total())))
        return false;
    cv::cvtColor(raw, frame, cv::COLOR_BayerBG2BGR);
    return true;
}
