#pragma once

#include <opencv2/core.hpp>

// The picture of the full-screen view: the image turned by its own rotation, the zoomed
// window around its centre, scaled to the screen's width and cut to the screen, centred,
// when it comes out higher than the screen.
class EvfView {
public:
    static constexpr int maxZoom = 32;

    // An 8-bit frame of one or three channels; a one-channel colour frame is demosaiced by
    // its Bayer code. Rotation, zoom and centre start afresh.
    void setImage(const cv::Mat& frame, bool isColour, int bayer);
    void setScreenSize(cv::Size size) { screen = size; }
    bool isEmpty() const { return view.empty(); }

    // A quarter turn clockwise; the centre goes back to the middle of the turned image.
    void rotate();
    void zoomIn();
    void zoomOut();
    // Pans by (dx, dy) screen pixels.
    void moveCenter(int dx, int dy);

    int rotation() const { return turns; }
    int zoom() const { return zoomFactor; }
    cv::Point center() const { return centre; }
    // The image size after the rotation.
    cv::Size viewSize() const { return view.size(); }

    // What the screen shows: at most the screen's size, as wide as the screen.
    cv::Mat picture() const;

private:
    cv::Size windowSize() const;
    void clampCenter();

    cv::Mat view; // the image, demosaiced and turned
    cv::Size screen;
    int turns = 0;
    int zoomFactor = 1;
    cv::Point centre;
};
