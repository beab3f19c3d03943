#include "ViewMapping.h"

cv::Size ViewMapping::turnedSize() const {
    return turns % 2 ? cv::Size(frameSize.height, frameSize.width) : frameSize;
}

cv::Rect ViewMapping::frameRect(const cv::Rect& t) const {
    const int w = frameSize.width, h = frameSize.height;
    switch (turns) {
    case 1: // turned (x, y) is frame (y, h - 1 - x)
        return cv::Rect(t.y, h - t.x - t.width, t.height, t.width);
    case 2: // frame (w - 1 - x, h - 1 - y)
        return cv::Rect(w - t.x - t.width, h - t.y - t.height, t.width, t.height);
    case 3: // frame (w - 1 - y, x)
        return cv::Rect(w - t.y - t.height, t.x, t.height, t.width);
    default:
        return t;
    }
}

cv::Point2d ViewMapping::frameFromCanvas(const cv::Point2d& canvas) const {
    const cv::Point2d t = (canvas - cv::Point2d(offset)) / scale + cv::Point2d(window.tl());
    const int w = frameSize.width, h = frameSize.height;
    switch (turns) {
    case 1:
        return cv::Point2d(t.y, h - 1 - t.x);
    case 2:
        return cv::Point2d(w - 1 - t.x, h - 1 - t.y);
    case 3:
        return cv::Point2d(w - 1 - t.y, t.x);
    default:
        return t;
    }
}

cv::Point2d ViewMapping::turnedFromFrame(const cv::Point2d& v) const {
    switch (turns) {
    case 1:
        return cv::Point2d(-v.y, v.x);
    case 2:
        return -v;
    case 3:
        return cv::Point2d(v.y, -v.x);
    default:
        return v;
    }
}
