#include "StereoCompose.h"

#include "BlobPixels.h"
#include "Clock.h"
#include "DebugLog.h"
#include "StereoLayout.h"

#include <algorithm>
#include <cmath>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>

namespace StereoCompose {

namespace {

constexpr double starThreshold = 100; // grey level a star's pixel must pass
constexpr int smallestStar = 3;       // blobs below this many pixels are noise
constexpr int largestStar = 2000;     // above: a galaxy core or nebula knot, kept at depth 0
constexpr std::int64_t progressIntervalMs = 100;
constexpr int stripRows = 64;

// The star light of a source pixel: what its starless twin does not have.
cv::Vec3b starLight(const cv::Vec3b& source, const cv::Vec3b& starless) {
    return {cv::saturate_cast<uchar>(source[0] - starless[0]),
            cv::saturate_cast<uchar>(source[1] - starless[1]),
            cv::saturate_cast<uchar>(source[2] - starless[2])};
}

// The pixels whose star light is bright enough to belong to a star. Made strip by strip,
// so that the star light and its grey stay in the cache instead of taking two full frames;
// the strips share out among the cores in one go.
cv::Mat starMask(const cv::Mat& source, const cv::Mat& starless) {
    cv::Mat mask(source.size(), CV_8UC1);
    const int strips = (source.rows + stripRows - 1) / stripRows;
    cv::parallel_for_(cv::Range(0, strips), [&](const cv::Range& range) {
        cv::Mat stars, grey;
        for (int i = range.start; i < range.end; ++i) {
            const int top = i * stripRows;
            const cv::Rect strip(0, top, source.cols, std::min(stripRows, source.rows - top));
            cv::subtract(source(strip), starless(strip), stars); // saturates at 0
            cv::cvtColor(stars, grey, cv::COLOR_BGR2GRAY);
            cv::Mat maskStrip = mask(strip);
            cv::threshold(grey, maskStrip, starThreshold, 255, cv::THRESH_BINARY);
        }
    });
    return mask;
}

// The largest area of a blob that still counts as a star; 0 when there is none.
int largestStarArea(const cv::Mat& stats) {
    int largest = 0;
    for (int label = 1; label < stats.rows; ++label) { // 0 is the background
        const int area = stats.at<int>(label, cv::CC_STAT_AREA);
        if (area <= largestStar)
            largest = std::max(largest, area);
    }
    return largest;
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
    StereoLayout layout(source.size(), options.format);
    const cv::Mat mask = starMask(source, starless);
    cv::Mat labels = layout.labelRoom(), stats, centroids;
    const int blobCount =
        cv::connectedComponentsWithStats(mask, labels, stats, centroids, 8, CV_32S) - 1;
    const BlobPixels blobs(mask, labels, stats);
    labels.release();
    layout.layOutSky(starless);

    const double shiftMax = maxShift(source.cols, options.strength);
    debugLog("maxshift=%d", int(shiftMax));
    const int areaMax = largestStarArea(stats);
    const bool randomDepth = options.depth == Random;
    // Up to and including maxShift, the shift the brightness method gives its largest star.
    std::uniform_real_distribution<double> randomShift(0.0, std::nextafter(shiftMax, HUGE_VAL));
    const int width = source.cols;
    std::int64_t lastReport = Clock::nowMs();
    for (int label = 1; label <= blobCount; ++label) {
        const int area = stats.at<int>(label, cv::CC_STAT_AREA);
        if (area >= smallestStar) {
            double shift = 0;
            if (area <= largestStar && areaMax > 0)
                shift = randomDepth ? randomShift(random)
                                    : shiftMax * std::sqrt(double(area) / areaMax);
            const int d = int(shift);
            for (int k = blobs.begin(label); k < blobs.end(label); ++k) {
                const int y = blobs.positions()[k] / width, x = blobs.positions()[k] % width;
                const cv::Vec3b light =
                    starLight(source.ptr<cv::Vec3b>(y)[x], starless.ptr<cv::Vec3b>(y)[x]);
                if (x + d < width)
                    layout.drawA(light, y, x + d);
                if (x - d >= 0)
                    layout.drawB(light, y, x - d);
            }
        }
        if (progress) {
            const std::int64_t now = Clock::nowMs();
            if (label == blobCount || now - lastReport >= progressIntervalMs) {
                lastReport = now;
                if (!progress(label, blobCount))
                    return {};
            }
        }
    }
    return layout.finish();
}

} // namespace StereoCompose
