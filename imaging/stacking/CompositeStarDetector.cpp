#include "CompositeStarDetector.h"

#include "DebugLog.h"
#include "DetectionThreshold.h"

#include <algorithm>
#include <opencv2/imgproc.hpp>

namespace CompositeStarDetector {

namespace {

cv::Mat highByte(const cv::Mat& image16) {
    cv::Mat image8(image16.size(), CV_8UC1);
    for (int y = 0; y < image16.rows; ++y) {
        const uint16_t* in = image16.ptr<uint16_t>(y);
        uint8_t* out = image8.ptr<uint8_t>(y);
        for (int x = 0; x < image16.cols; ++x)
            out[x] = uint8_t(in[x] >> 8);
    }
    return image8;
}

} // namespace

std::vector<StarEntry> detectStars(const cv::Mat& image16) {
    if (image16.empty() || image16.type() != CV_16UC1)
        return {};
    const cv::Mat image8 = highByte(image16);
    const int limit = detectionThreshold(image8);
    debugLog("limit = %d", limit);
    // Samples at or above the limit are star light.
    cv::Mat binary;
    cv::threshold(image8, binary, limit - 1, 255, cv::THRESH_BINARY);
    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(binary, labels, stats, centroids, 8, CV_32S);

    std::vector<StarEntry> stars;
    for (int minSize = firstMinSize; minSize <= lastMinSize; ++minSize) {
        stars.clear();
        for (int label = 1; label < count; ++label) {
            const int area = stats.at<int>(label, cv::CC_STAT_AREA);
            if (area > minSize && area < maxArea)
                stars.push_back(
                    {area, 0, centroids.at<double>(label, 0), centroids.at<double>(label, 1), -1});
        }
        debugLog("select minSize=%d no=%d", minSize + 1, int(stars.size()));
        if (int(stars.size()) <= maxStars)
            break;
    }

    const double cx = image16.cols / 2, cy = image16.rows / 2;
    for (StarEntry& star : stars)
        star.distance2 = (star.x - cx) * (star.x - cx) + (star.y - cy) * (star.y - cy);
    std::stable_sort(stars.begin(), stars.end(), [](const StarEntry& a, const StarEntry& b) {
        return a.distance2 < b.distance2;
    });
    if (int(stars.size()) > maxStars) {
        debugLog("keep the %d stars nearest the centre of %d", maxStars, int(stars.size()));
        stars.resize(maxStars);
    }
    return stars;
}

} // namespace CompositeStarDetector
