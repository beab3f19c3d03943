#pragma once

#include <memory>
#include <opencv2/core.hpp>

// A USB video-class camera as OpenCV's capture object sees it: properties by OpenCV's
// published numbers (3 width, 4 height, 10 brightness, 11 contrast, 14 gain, 15 exposure,
// 21 auto exposure, 22 gamma).
class UvcCapture {
public:
    virtual ~UvcCapture() = default;

    virtual bool open(int index) = 0;
    virtual bool isOpened() const = 0;
    virtual void release() = 0;
    virtual bool set(int property, double value) = 0;
    virtual double get(int property) const = 0;
    virtual bool grab() = 0;
    virtual bool read(cv::Mat& frame) = 0;

    // The real device, through cv::VideoCapture with the automatic back end.
    static std::unique_ptr<UvcCapture> createVideoCapture();
};
