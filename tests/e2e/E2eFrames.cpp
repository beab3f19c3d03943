#include "E2eFrames.h"

#include "DetectionThreshold.h"
#include "HostPath.h"
#include "SettingsRecord.h"
#include "StarSpotDetector.h"
#include "TiffFile.h"

#include <algorithm>
#include <opencv2/imgproc.hpp>

void shortSeries(SettingsRecord& settings, int frames, int seconds, int interval) {
    settings.timRep = frames;
    settings.timMin = 0;
    settings.timSec = seconds;
    settings.timInt = interval;
}

ShootingData dataOf(const QString& hostPath, cv::Mat* image) {
    ShootingData data;
    const cv::Mat read = readTiff(HostPath::fromHost(hostPath), data);
    if (image)
        *image = read;
    return data;
}

std::vector<cv::Point> hotPixels(const cv::Mat& dark) {
    cv::Scalar mean, sigma;
    cv::meanStdDev(dark, mean, sigma);
    std::vector<cv::Point> hot;
    for (int y = 0; y < dark.rows; ++y) {
        for (int x = 0; x < dark.cols; ++x) {
            if (dark.at<std::uint16_t>(y, x) > mean[0] + 2000)
                hot.emplace_back(x, y);
        }
    }
    return hot;
}

double hotExcess(const cv::Mat& frame, const std::vector<cv::Point>& hot) {
    double excess = 0;
    for (const cv::Point& p : hot) {
        const int x = std::clamp(p.x, 2, frame.cols - 3), y = std::clamp(p.y, 2, frame.rows - 3);
        const double around =
            (frame.at<std::uint16_t>(y, x - 2) + frame.at<std::uint16_t>(y, x + 2) +
             frame.at<std::uint16_t>(y - 2, x) + frame.at<std::uint16_t>(y + 2, x)) /
            4.0;
        excess += frame.at<std::uint16_t>(y, x) - around;
    }
    return excess / std::max<size_t>(hot.size(), 1);
}

std::vector<cv::Point2d> canvasStars(const cv::Mat& canvas, const cv::Rect& picture) {
    cv::Mat grey;
    cv::cvtColor(canvas(picture), grey, cv::COLOR_BGR2GRAY);
    StarSpotDetector detector(grey);
    const int n = detector.findStars(std::max(40, detectionThreshold(grey)), false);
    std::vector<std::pair<int, cv::Point2d>> found;
    for (int i = 0; i < n; ++i)
        found.push_back({detector.starPixelCount(i),
                         {picture.x + detector.starX(i), picture.y + detector.starY(i)}});
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<cv::Point2d> stars;
    for (const auto& star : found)
        stars.push_back(star.second);
    return stars;
}
