#pragma once

#include <opencv2/core.hpp>

// Where the pixels of the shown picture come from: the frame is turned by quarter turns, a
// window of the turned image is scaled and placed on the canvas. Lets the display cut and
// demosaic only what it shows, and find the frame pixel under a touched canvas point.
struct ViewMapping {
    int turns = 0;      // quarter turns clockwise, 0..3
    cv::Size frameSize; // the frame before turning
    cv::Rect window;    // the part of the turned image that is shown, in turned pixels
    double scale = 1;   // canvas pixels per turned-image pixel
    cv::Point offset;   // canvas position of the window's top-left corner

    cv::Size turnedSize() const;
    // The frame pixels that a rectangle of the turned image comes from.
    cv::Rect frameRect(const cv::Rect& turned) const;
    // The frame position under a canvas point.
    cv::Point2d frameFromCanvas(const cv::Point2d& canvas) const;
    // A displacement along the frame's axes, expressed along the turned image's axes.
    cv::Point2d turnedFromFrame(const cv::Point2d& frameVector) const;
};
