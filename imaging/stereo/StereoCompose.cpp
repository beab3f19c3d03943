#include "StereoCompose.h"

#include "Clock.h"
#include "DebugLog.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>
#include <vector>

namespace StereoCompose {

namespace {

constexpr double starThreshold = 100; // grey level a star's pixel must pass
constexpr int smallestStar = 3;       // blobs below this many pixels are noise
constexpr int largestStar = 2000;     // above: a galaxy core or nebula knot, kept at depth 0
constexpr std::int64_t progressIntervalMs = 100;

// The pixels of every blob, by label, gathered in one pass over the label image: a scan of
// the whole image per blob would take hours on a field of thousands of stars.
struct BlobPixels {
    std::vector<int> start;     // blob i's pixels are offsets [start[i], start[i + 1])
    std::vector<int> positions; // y * width + x

    BlobPixels(const cv::Mat& labels, const cv::Mat& stats) {
        const int count = stats.rows;
        start.assign(count + 1, 0);
        for (int i = 1; i < count; ++i)
            start[i + 1] = start[i] + stats.at<int>(i, cv::CC_STAT_AREA);
        positions.resize(start[count]);
        std::vector<int> next(start.begin(), start.end() - 1);
        for (int y = 0; y < labels.rows; ++y) {
            const int* row = labels.ptr<int>(y);
            for (int x = 0; x < labels.cols; ++x)
                if (row[x] > 0)
                    positions[next[row[x]]++] = y * labels.cols + x;
        }
    }
};

// The largest area of a blob that still counts as a star; 0 when there is none.
int largestStarArea(const cv::Mat& stats) {
    int largest = 0;
    for (int i = 1; i < stats.rows; ++i) { // label 0 is the background
        const int area = stats.at<int>(i, cv::CC_STAT_AREA);
        if (area <= largestStar)
            largest = std::max(largest, area);
    }
    return largest;
}

cv::Mat sideBySide(const cv::Mat& left, const cv::Mat& right, int width) {
    cv::Mat composed(left.rows, width, left.type(), cv::Scalar::all(0));
    left.copyTo(composed(cv::Rect(0, 0, left.cols, left.rows)));
    right.copyTo(composed(cv::Rect(left.cols, 0, right.cols, right.rows)));
    return composed;
}

cv::Mat composeViews(const cv::Mat& viewA, const cv::Mat& viewB, int format) {
    switch (format) {
    case HalfSideBySide: {
        // An odd width leaves its last column black rather than changing the picture's width.
        const cv::Size half(viewA.cols / 2, viewA.rows);
        cv::Mat halfA, halfB;
        cv::resize(viewA, halfA, half, 0, 0, cv::INTER_LINEAR);
        cv::resize(viewB, halfB, half, 0, 0, cv::INTER_LINEAR);
        return sideBySide(halfA, halfB, viewA.cols);
    }
    case Anaglyph: {
        cv::Mat composed = viewB.clone();
        const int redFromA[] = {2, 2};
        cv::mixChannels(&viewA, 1, &composed, 1, redFromA, 1);
        return composed;
    }
    default:
        return sideBySide(viewA, viewB, 2 * viewA.cols);
    }
}

} // namespace

double maxShift(int width, int strength) {
    // In thousandths of the width, so that round widths give whole shifts exactly.
    static const int permille[] = {3, 5, 10};
    return width * permille[std::clamp(strength, int(Weak), int(Strong))] / 1000.0;
}

cv::Mat compose(const cv::Mat& source, const cv::Mat& starless, const Options& options,
                std::mt19937& random, const Progress& progress) {
    if (source.empty() || source.type() != CV_8UC3 || starless.type() != CV_8UC3 ||
        source.size() != starless.size()) {
        debugLog("bak-file read error");
        return {};
    }
    cv::Mat stars, grey, mask, labels, stats, centroids;
    cv::subtract(source, starless, stars); // saturates at 0
    cv::cvtColor(stars, grey, cv::COLOR_BGR2GRAY);
    cv::threshold(grey, mask, starThreshold, 255, cv::THRESH_BINARY);
    const int labelCount =
        cv::connectedComponentsWithStats(mask, labels, stats, centroids, 8, CV_32S);
    const int blobCount = labelCount - 1;

    const double shiftMax = maxShift(source.cols, options.strength);
    debugLog("maxshift=%d", int(shiftMax));
    const int areaMax = largestStarArea(stats);
    const bool randomDepth = options.depth == Random;
    // Up to and including maxShift, the shift the brightness method gives its largest star.
    std::uniform_real_distribution<double> randomShift(0.0, std::nextafter(shiftMax, HUGE_VAL));

    const BlobPixels blobs(labels, stats);
    const int width = source.cols;
    cv::Mat viewA(source.size(), CV_8UC3, cv::Scalar::all(0));
    cv::Mat viewB(source.size(), CV_8UC3, cv::Scalar::all(0));
    const auto* starPixels = stars.ptr<cv::Vec3b>();
    auto* pixelsA = viewA.ptr<cv::Vec3b>();
    auto* pixelsB = viewB.ptr<cv::Vec3b>();
    std::int64_t lastReport = Clock::nowMs();
    for (int i = 1; i <= blobCount; ++i) {
        const int area = stats.at<int>(i, cv::CC_STAT_AREA);
        if (area >= smallestStar) {
            double shift = 0;
            if (area <= largestStar && areaMax > 0)
                shift = randomDepth ? randomShift(random)
                                    : shiftMax * std::sqrt(double(area) / areaMax);
            const int d = int(shift);
            for (int k = blobs.start[i]; k < blobs.start[i + 1]; ++k) {
                const int position = blobs.positions[k];
                const int x = position % width;
                if (x + d < width)
                    pixelsA[position + d] = starPixels[position];
                if (x - d >= 0)
                    pixelsB[position - d] = starPixels[position];
            }
        }
        if (progress) {
            const std::int64_t now = Clock::nowMs();
            if (i == blobCount || now - lastReport >= progressIntervalMs) {
                lastReport = now;
                if (!progress(i, blobCount))
                    return {};
            }
        }
    }
    cv::add(viewA, starless, viewA); // saturates at 255
    cv::add(viewB, starless, viewB);
    return composeViews(viewA, viewB, options.format);
}

} // namespace StereoCompose
