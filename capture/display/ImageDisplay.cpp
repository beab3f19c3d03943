#include "ImageDisplay.h"

#include "BayerPattern.h"
#include "CanvasOverlays.h"
#include "DebugLog.h"
#include "DetectionThreshold.h"
#include "FrameOps.h"
#include "ProcessState.h"
#include "StarSpotDetector.h"
#include "ViewMapping.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QMutexLocker>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace {

const cv::Scalar borderColour(80, 0, 0); // dark blue, in blue-green-red order
constexpr int focusPatch = 32;           // image pixels measured around the focus point
constexpr int focusMargin = 16;          // the point must lie this far inside the canvas

// Display pixels per image pixel: the turned width times displayScale, cut down to a multiple
// of 16, over the turned width. The small allowance keeps a product such as 6000 * 0.16 from
// losing a whole step of 16 to rounding.
double scaleFactor(int columns, double displayScale) {
    const int width = int(std::floor(columns * displayScale / 16 + 1e-9)) * 16;
    return columns > 0 ? double(width) / columns : 0;
}

cv::Mat turned(const cv::Mat& image, int turns, cv::Mat& buffer) {
    static const int codes[] = {0, cv::ROTATE_90_CLOCKWISE, cv::ROTATE_180,
                                cv::ROTATE_90_COUNTERCLOCKWISE};
    if (turns == 0)
        return image;
    cv::rotate(image, buffer, codes[turns]);
    return buffer;
}

// Demosaics one rectangle of a Bayer frame with the same result as demosaicing the whole
// frame: the interpolation looks one pixel around, so a margin of two that keeps the origin
// on an even pixel (the Bayer phase) is enough. The buffer is kept from frame to frame, as
// fresh pages for a full frame cost as much as the demosaic itself.
cv::Mat demosaicRect(const cv::Mat& mosaic, const cv::Rect& rect, int conversion, cv::Mat& colour) {
    const int x0 = std::max(0, rect.x - 2) & ~1;
    const int y0 = std::max(0, rect.y - 2) & ~1;
    const int x1 = std::min(mosaic.cols, rect.x + rect.width + 2);
    const int y1 = std::min(mosaic.rows, rect.y + rect.height + 2);
    cv::cvtColor(mosaic(cv::Rect(x0, y0, x1 - x0, y1 - y0)), colour, conversion);
    return colour(cv::Rect(rect.x - x0, rect.y - y0, rect.width, rect.height));
}

} // namespace

ImageDisplay::ImageDisplay(ProcessState& state)
    : state(state)
    , canvasImage(canvasHeight, canvasWidth, CV_8UC3, borderColour) {}

int ImageDisplay::totalTurns() const {
    return ((viewState.displayRotation + viewState.cameraRotation) % 4 + 4) % 4;
}

void ImageDisplay::setDisplayGeometry(int width, int height) {
    ViewState& v = viewState;
    if (totalTurns() % 2)
        std::swap(width, height);
    v.viewWidth = width;
    v.viewHeight = height;
    if (width <= 0 || height <= 0)
        v.displayScale = 0; // nothing can be shown; showImage says so
    else if (double(width) / height > 1.875)
        v.displayScale = 1200.0 / width;
    else
        v.displayScale = 640.0 / height;
    v.scaledWidth = int(width * v.displayScale);
    v.scaledHeight = int(height * v.displayScale);
    v.viewCenterX = width / 2;
    v.viewCenterY = height / 2;
    QMutexLocker lock(&v.viewMutex);
    v.pendingCenterX = v.viewCenterX;
    v.pendingCenterY = v.viewCenterY;
}

cv::Size ImageDisplay::drawnSize() const {
    const double s = scaleFactor(viewState.viewWidth, viewState.displayScale);
    return cv::Size(cvRound(viewState.viewWidth * s), cvRound(viewState.viewHeight * s));
}

void ImageDisplay::showImage(const cv::Mat& frame8, bool isColor, int bayer) {
    if (frame8.rows == 0) {
        debugLog("Data Empty");
        return;
    }
    if (frame8.cols == 0 || (frame8.type() != CV_8UC1 && frame8.type() != CV_8UC3)) {
        debugLog("Illegal Data");
        return;
    }
    // Redraws use this frame. A frame that owns its memory is shared, not copied: the capture
    // writes its next frame into new memory or into this one just before showing it. A frame
    // over memory we do not own is copied, as that memory may be gone by the next redraw.
    if (frame8.u)
        lastFrame = frame8;
    else
        frame8.copyTo(lastFrame);
    lastIsColor = isColor;
    lastBayer = bayer;
    ++framesShown;
    render(lastFrame, isColor, bayer);
}

void ImageDisplay::redraw() {
    if (!lastFrame.empty())
        render(lastFrame, lastIsColor, lastBayer);
}

cv::Rect ImageDisplay::zoomWindow(const cv::Size& turned) const {
    const ViewState& v = viewState;
    const int width = std::clamp(v.viewWidth / v.zoom, 1, turned.width);
    const int height = std::clamp(v.viewHeight / v.zoom, 1, turned.height);
    const int x = std::clamp(v.viewCenterX - width / 2, 0, turned.width - width);
    const int y = std::clamp(v.viewCenterY - height / 2, 0, turned.height - height);
    return cv::Rect(x, y, width, height);
}

void ImageDisplay::render(const cv::Mat& frame, bool isColor, int bayer) {
    ViewState& v = viewState;
    ViewMapping mapping;
    mapping.turns = totalTurns();
    mapping.frameSize = frame.size();
    const cv::Size turnedSize = mapping.turnedSize();
    const double s = scaleFactor(turnedSize.width, v.displayScale);
    const int conversion =
        isColor && frame.channels() == 1 ? BayerPattern::demosaicCode(bayer) : -1;
    const int zoom = std::max(1, v.zoom);
    const int shrink = std::max(1, v.shrink);
    mapping.window = zoom > 1 ? zoomWindow(turnedSize) : cv::Rect(cv::Point(), turnedSize);
    mapping.scale = zoom > 1 ? zoom * s : s / shrink;
    // The size the resize will make, rounded as OpenCV rounds it; an empty one it refuses.
    const cv::Size resizedSize(cvRound(mapping.window.width * mapping.scale),
                               cvRound(mapping.window.height * mapping.scale));
    if (s <= 0 || resizedSize.empty()) {
        debugLog("Illegal data 2-2");
        return;
    }

    // Only the frame pixels of the zoom window are demosaiced and turned.
    const cv::Rect source = mapping.frameRect(mapping.window);
    const cv::Mat part =
        conversion >= 0 ? demosaicRect(frame, source, conversion, colourBuffer) : frame(source);
    mapping.offset = cv::Point(std::max(0, (canvasWidth - resizedSize.width) / 2),
                               std::max(0, (canvasHeight - resizedSize.height) / 2));
    const cv::Rect pasted(mapping.offset, cv::Size(std::min(resizedSize.width, canvasWidth),
                                                   std::min(resizedSize.height, canvasHeight)));
    canvasImage.setTo(borderColour);
    cv::Mat target = canvasImage(pasted);
    const cv::Mat& turnedPart = turned(part, mapping.turns, turnedBuffer);
    cv::Mat picture;
    if (turnedPart.channels() == 3 && pasted.size() == resizedSize) {
        // A colour picture that fits is resized straight onto the canvas.
        // The scale, not the size, goes to the resize, whose weights follow from what it is given;
        // the size it makes is the target's, so it writes there.
        cv::resize(turnedPart, target, cv::Size(), mapping.scale, mapping.scale, cv::INTER_LINEAR);
        picture = target;
    } else {
        cv::resize(turnedPart, pictureBuffer, cv::Size(), mapping.scale, mapping.scale,
                   cv::INTER_LINEAR);
        picture = pictureBuffer;
        const cv::Mat shown = picture(cv::Rect(cv::Point(), pasted.size()));
        if (shown.channels() == 1)
            cv::cvtColor(shown, target, cv::COLOR_GRAY2BGR);
        else
            shown.copyTo(target);
    }

    starSize = 0;
    if (shrink == 1 && zoom > 1 && v.focusPointSet)
        measureFocus(frame, conversion, mapping, s);
    const bool histograms = state.infoPanelOn && zoom == 1;
    if (state.captureState == 1 && state.liveOverlayOn && zoom < 2 && chartOverlay) {
        // The histograms count the picture, not the chart drawn over it on the canvas.
        if (histograms && picture.data == target.data)
            picture = picture.clone();
        chartOverlay(canvasImage,
                     {cv::Rect(mapping.offset, resizedSize), mapping.scale, frame.size()});
    }
    if (zoom > 1)
        drawNavigator(canvasImage, cv::Size(v.viewWidth, v.viewHeight), mapping.window);
    if (histograms)
        drawHistograms(canvasImage, picture);
    if (present)
        present(QImage(canvasImage.data, canvasWidth, canvasHeight, int(canvasImage.step),
                       QImage::Format_BGR888));
}

// Measures the star under the focus point in a patch of the frame, keeps the smallest size
// and lets the point follow the star as it drifts.
void ImageDisplay::measureFocus(const cv::Mat& frame, int conversion, const ViewMapping& mapping,
                                double s) {
    ViewState& v = viewState;
    const cv::Point point(v.focusPointX, v.focusPointY);
    if (point.x <= focusMargin || point.y <= focusMargin || point.x >= canvasWidth - focusMargin ||
        point.y >= canvasHeight - focusMargin)
        return;
    const int half = int(focusPatch / 2 * v.zoom * s);
    cv::rectangle(canvasImage, point - cv::Point(half, half), point + cv::Point(half, half),
                  cv::Scalar(255, 255, 255));

    const cv::Point2d centre = mapping.frameFromCanvas(point);
    const cv::Rect patch(int(std::floor(centre.x)) - focusPatch / 2,
                         int(std::floor(centre.y)) - focusPatch / 2, focusPatch, focusPatch);
    if ((patch & cv::Rect(0, 0, frame.cols, frame.rows)) != patch)
        return;
    cv::Mat grey;
    cv::Mat colour;
    if (conversion >= 0)
        cv::cvtColor(demosaicRect(frame, patch, conversion, colour), grey, cv::COLOR_BGR2GRAY);
    else if (frame.channels() == 3)
        cv::cvtColor(frame(patch), grey, cv::COLOR_BGR2GRAY);
    else
        grey = frame(patch);
    StarSpotDetector detector(grey);
    if (detector.findStars(detectionThreshold(grey), true) <= 0)
        return;
    starSize = detector.starPixelCount(0);
    v.minStarSize = std::min(v.minStarSize, starSize);
    const cv::Point2d drift = mapping.turnedFromFrame(
        cv::Point2d(detector.starX(0) - focusPatch / 2, detector.starY(0) - focusPatch / 2));
    v.focusPointX += int(std::lround(drift.x * s));
    v.focusPointY += int(std::lround(drift.y * s));

    // Text needs the font database of a GUI application; a tool without one still measures.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    QImage target(canvasImage.data, canvasWidth, canvasHeight, int(canvasImage.step),
                  QImage::Format_BGR888);
    QPainter painter(&target);
    QFont font("Arial", 12);
    font.setStyleHint(QFont::SansSerif);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const int textX = v.focusPointX + int(17 * v.zoom * s);
    painter.drawText(textX, v.focusPointY, QString::asprintf("size=%d", starSize));
    painter.drawText(textX, v.focusPointY + 14, QString::asprintf("min size=%d", v.minStarSize));
}

void ImageDisplay::clearFocusPoint() {
    viewState.focusPointSet = false;
    viewState.minStarSize = ViewState::noStarSize;
}

void ImageDisplay::zoomIn() {
    ViewState& v = viewState;
    if (v.shrink > 1) {
        v.shrink /= 2;
    } else if (v.zoom < maxZoom) {
        v.zoom *= 2;
        clearFocusPoint();
    }
}

void ImageDisplay::zoomOut(bool liveView) {
    ViewState& v = viewState;
    if (v.zoom >= 2) {
        v.zoom /= 2;
        clearFocusPoint();
    } else if (liveView && v.shrink <= 15) {
        v.shrink *= 2;
    }
}

QString ImageDisplay::rotate() {
    viewState.displayRotation = (viewState.displayRotation + 1) % 4;
    return rotateIconPath();
}

QString ImageDisplay::rotateIconPath() const {
    return state.appDir + QString("\\PNG\\rotate%1.png").arg(viewState.displayRotation + 1);
}

void ImageDisplay::setFocusPoint(int x, int y) {
    viewState.focusPointX = x;
    viewState.focusPointY = y;
    viewState.focusPointSet = true;
    viewState.minStarSize = ViewState::noStarSize;
    debugLog("setFocusPoint x=%d y=%d", x, y);
}

void ImageDisplay::requestCenter(int x, int y) {
    QMutexLocker lock(&viewState.viewMutex);
    viewState.pendingCenterX = x;
    viewState.pendingCenterY = y;
    viewState.centerRequested = true;
}

void ImageDisplay::requestZoom(int zoom) {
    QMutexLocker lock(&viewState.viewMutex);
    viewState.requestedZoom = zoom;
}

void ImageDisplay::requestShrink(int shrink) {
    QMutexLocker lock(&viewState.viewMutex);
    viewState.requestedShrink = shrink;
}

bool ImageDisplay::applyViewRequests() {
    ViewState& v = viewState;
    QMutexLocker lock(&v.viewMutex);
    if (!v.centerRequested && v.requestedZoom == 0 && v.requestedShrink == 0)
        return false;
    const int oldX = v.viewCenterX, oldY = v.viewCenterY;
    const int oldZoom = v.zoom, oldShrink = v.shrink;
    if (v.requestedZoom != 0) {
        v.zoom = std::clamp(v.requestedZoom, 1, maxZoom);
        if (v.zoom != oldZoom)
            clearFocusPoint();
    }
    if (v.requestedShrink != 0)
        v.shrink = std::clamp(v.requestedShrink, 1, maxShrink);
    if (v.centerRequested || v.requestedZoom != 0) {
        // The zoomed window (image size / zoom) stays inside the image.
        const int halfWidth = v.viewWidth / v.zoom / 2;
        const int halfHeight = v.viewHeight / v.zoom / 2;
        const int x = v.centerRequested ? v.pendingCenterX : v.viewCenterX;
        const int y = v.centerRequested ? v.pendingCenterY : v.viewCenterY;
        v.viewCenterX = std::max(halfWidth, std::min(x, v.viewWidth - halfWidth - 1));
        v.viewCenterY = std::max(halfHeight, std::min(y, v.viewHeight - halfHeight - 1));
        v.pendingCenterX = v.viewCenterX;
        v.pendingCenterY = v.viewCenterY;
    }
    v.centerRequested = false;
    v.requestedZoom = 0;
    v.requestedShrink = 0;
    return v.viewCenterX != oldX || v.viewCenterY != oldY || v.zoom != oldZoom ||
           v.shrink != oldShrink;
}
