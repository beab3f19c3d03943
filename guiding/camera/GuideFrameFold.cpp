#include "GuideFrameFold.h"

#include <algorithm>
#include <opencv2/imgproc.hpp>

cv::Mat foldGuideFrame(const cv::Mat& picture) {
    cv::Mat bgr;
    if (picture.channels() == 3)
        bgr = picture;
    else
        cv::cvtColor(picture, bgr, cv::COLOR_GRAY2BGR);
    if (bgr.cols != 1280 || bgr.rows != 960)
        cv::resize(bgr, bgr, cv::Size(1280, 960));
    cv::Mat folded(480, 640, CV_8UC1);
    for (int y = 0; y < folded.rows; ++y) {
        const std::uint8_t* upper = bgr.ptr<std::uint8_t>(2 * y);
        const std::uint8_t* lower = bgr.ptr<std::uint8_t>(2 * y + 1);
        std::uint8_t* out = folded.ptr<std::uint8_t>(y);
        for (int x = 0; x < folded.cols; ++x) {
            int sum = 0;
            for (int c = 0; c < 3; ++c) {
                const int i = 6 * x + c;
                sum += std::min(255, upper[i] + upper[i + 3]);
                sum += std::min(255, lower[i] + lower[i + 3]);
            }
            out[x] = std::uint8_t(std::min(255, sum / 3));
        }
    }
    return folded;
}
