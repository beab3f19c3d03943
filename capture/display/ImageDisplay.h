#pragma once

#include "ViewState.h"

#include <QString>
#include <functional>
#include <opencv2/core.hpp>

class QImage;
struct ProcessState;
struct ViewMapping;

// The main view's display routine: every frame shown (live, finished exposure, playback)
// is demosaiced, turned, zoomed and scaled into the fixed 1200 x 640 canvas, with the
// navigator, focus measurement and histograms drawn over it. One object per program; it keeps
// the last frame so that a change of the view can redraw it.
class ImageDisplay {
public:
    static constexpr int canvasWidth = 1200;
    static constexpr int canvasHeight = 640;
    static constexpr int maxZoom = 32;
    static constexpr int maxShrink = 16;

    explicit ImageDisplay(ProcessState& state);

    ViewState& view() { return viewState; }

    // Size of the frames about to be shown, before turning.
    void setDisplayGeometry(int width, int height);
    // The whole picture's width and height on the canvas at zoom 1, as it is drawn.
    cv::Size drawnSize() const;
    void showImage(const cv::Mat& frame8, bool isColor, int bayer);
    void redraw();
    const cv::Mat& canvas() const { return canvasImage; }
    // Counts the frames showImage has taken; a redraw keeps the number. Who showed a frame
    // knows by it whether that frame is still on screen.
    int frameNumber() const { return framesShown; }

    // Puts the finished canvas on the screen; the image is valid only during the call.
    std::function<void(const QImage&)> present;
    // Where the whole live picture lies on the canvas: its rectangle, canvas pixels per frame
    // pixel, and the frame's size before it was turned.
    struct LivePicture {
        cv::Rect onCanvas;
        double scale = 1;
        cv::Size frameSize;
    };
    // Draws the sky chart over the live picture (live view, overlay on, zoom below 2).
    std::function<void(cv::Mat& canvas, const LivePicture& picture)> chartOverlay;

    void zoomIn();
    void zoomOut(bool liveView);
    // One more quarter turn; returns the button's new icon.
    QString rotate();
    QString rotateIconPath() const;
    void setFocusPoint(int x, int y);

    // The touch panel's requests, applied by the main loop.
    void requestCenter(int x, int y);
    void requestZoom(int zoom);
    void requestShrink(int shrink);
    // Applies the pending requests, keeping the zoom window inside the image; true when the
    // view changed.
    bool applyViewRequests();

    // Pixel count of the star measured under the focus point in the last picture, 0 if none.
    int lastStarSize() const { return starSize; }

private:
    int totalTurns() const;
    void render(const cv::Mat& frame, bool isColor, int bayer);
    cv::Rect zoomWindow(const cv::Size& turned) const;
    void measureFocus(const cv::Mat& frame, int conversion, const ViewMapping& mapping, double s);
    void clearFocusPoint();

    ProcessState& state;
    ViewState viewState;
    cv::Mat lastFrame;
    bool lastIsColor = false;
    int lastBayer = 0;
    int framesShown = 0;
    cv::Mat canvasImage;
    // Working images kept between frames.
    cv::Mat colourBuffer, turnedBuffer, pictureBuffer;
    int starSize = 0;
};
