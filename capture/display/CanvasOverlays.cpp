#include "CanvasOverlays.h"

#include <algorithm>
#include <array>
#include <opencv2/imgproc.hpp>

namespace {

const cv::Scalar white(255, 255, 255);
const cv::Scalar red(0, 0, 255);
const cv::Scalar green(0, 255, 0);
const cv::Scalar blue(255, 0, 0);

constexpr int histogramHeight = 100;

std::array<int, 256> histogramOf(const cv::Mat& picture, int channel) {
    std::array<int, 256> counts{};
    const int channels = picture.channels();
    for (int y = 0; y < picture.rows; ++y) {
        const uchar* p = picture.ptr<uchar>(y) + channel;
        for (int x = 0; x < picture.cols; ++x, p += channels)
            ++counts[*p];
    }
    return counts;
}

void drawHistogram(cv::Mat& canvas, const std::array<int, 256>& counts, int baseline,
                   const cv::Scalar& colour) {
    const int left = canvas.cols / 2 - 256;
    const int peak = std::max(1, *std::max_element(counts.begin(), counts.end()));
    for (int i = 0; i < 256; ++i) {
        const int height = int(std::int64_t(counts[i]) * histogramHeight / peak);
        cv::line(canvas, cv::Point(left + 2 * i, baseline),
                 cv::Point(left + 2 * i, baseline - height), colour);
    }
    cv::line(canvas, cv::Point(left, baseline), cv::Point(left + 512, baseline), colour);
    cv::line(canvas, cv::Point(left, baseline), cv::Point(left, baseline - histogramHeight),
             colour);
}

} // namespace

void drawNavigator(cv::Mat& canvas, const cv::Size& imageSize, const cv::Rect& window) {
    if (imageSize.width <= 0 || imageSize.height <= 0)
        return;
    const int width = 200;
    const int height = imageSize.height * width / imageSize.width;
    const cv::Point bottomLeft(990, 630);
    const cv::Point topLeft(bottomLeft.x, bottomLeft.y - height);
    cv::rectangle(canvas, topLeft, cv::Point(bottomLeft.x + width, bottomLeft.y), white);
    const cv::Point inner(topLeft.x + window.x * width / imageSize.width,
                          topLeft.y + window.y * height / imageSize.height);
    const cv::Size innerSize(window.width * width / imageSize.width,
                             window.height * height / imageSize.height);
    cv::rectangle(canvas, inner, inner + cv::Point(innerSize.width, innerSize.height), white);
}

void drawHistograms(cv::Mat& canvas, const cv::Mat& picture) {
    const int centreY = canvas.rows / 2;
    if (picture.channels() == 1) {
        drawHistogram(canvas, histogramOf(picture, 0), centreY + 50, green);
        return;
    }
    drawHistogram(canvas, histogramOf(picture, 2), centreY - 70, red);
    drawHistogram(canvas, histogramOf(picture, 1), centreY + 50, green);
    drawHistogram(canvas, histogramOf(picture, 0), centreY + 170, blue);
}
