#include "EvfView.h"

#include "BayerPattern.h"
#include "DebugLog.h"

#include <algorithm>
#include <opencv2/imgproc.hpp>

void EvfView::setImage(const cv::Mat& frame, bool isColour, int bayer) {
    if (isColour && frame.channels() == 1 && !frame.empty())
        cv::cvtColor(frame, view, BayerPattern::demosaicCode(bayer));
    else
        view = frame.clone();
    turns = 0;
    zoomFactor = 1;
    centre = cv::Point(view.cols / 2, view.rows / 2);
}

void EvfView::rotate() {
    turns = (turns + 1) % 4;
    if (!view.empty())
        cv::rotate(view, view, cv::ROTATE_90_CLOCKWISE);
    centre = cv::Point(view.cols / 2, view.rows / 2);
}

void EvfView::zoomIn() {
    if (zoomFactor < maxZoom)
        zoomFactor *= 2;
    clampCenter();
}

void EvfView::zoomOut() {
    if (zoomFactor >= 2)
        zoomFactor /= 2;
    clampCenter();
}

void EvfView::moveCenter(int dx, int dy) {
    if (screen.width <= 0)
        return;
    // One scale for both axes: the picture keeps the image's proportions.
    const double imagePerScreen = double(windowSize().width) / screen.width;
    centre.x += int(dx * imagePerScreen);
    centre.y += int(dy * imagePerScreen);
    clampCenter();
}

cv::Size EvfView::windowSize() const {
    return cv::Size(std::max(1, view.cols / zoomFactor), std::max(1, view.rows / zoomFactor));
}

void EvfView::clampCenter() {
    // The zoomed window stays inside the image; at zoom 1 that leaves only the middle.
    const cv::Size half = windowSize() / 2;
    centre.x = std::max(half.width, std::min(centre.x, view.cols - half.width - 1));
    centre.y = std::max(half.height, std::min(centre.y, view.rows - half.height - 1));
}

cv::Mat EvfView::picture() const {
    if (view.empty() || screen.width <= 0 || screen.height <= 0)
        return cv::Mat();
    cv::Rect window(cv::Point(0, 0), view.size());
    if (zoomFactor > 1) {
        const cv::Size size = windowSize();
        const int x = std::clamp(centre.x - size.width / 2, 0, view.cols - size.width);
        const int y = std::clamp(centre.y - size.height / 2, 0, view.rows - size.height);
        window = cv::Rect(cv::Point(x, y), size);
    }
    const cv::Mat part = view(window);
    const int height = std::max(1, int(int64_t(part.rows) * screen.width / part.cols));
    cv::Mat scaled;
    cv::resize(part, scaled, cv::Size(screen.width, height), 0, 0, cv::INTER_LINEAR);
    // As wide as the screen by construction; only the height can be too much.
    if (scaled.rows <= screen.height)
        return scaled;
    debugLog("resize.rows=%d, fullScrennHeight=%d", scaled.rows, screen.height);
    return scaled.rowRange((scaled.rows - screen.height) / 2,
                           (scaled.rows - screen.height) / 2 + screen.height);
}
