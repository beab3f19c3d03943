#include "DetectionThreshold.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

int detectionThreshold(const cv::Mat& image8) {
    if (image8.empty() || image8.depth() != CV_8U)
        return 0;
    // 32-bit sums over stretches short enough not to overflow let the loop run vectorised;
    // the totals are exact.
    constexpr int stretch = 1 << 16;
    const int samples = image8.cols * image8.channels();
    std::uint64_t sum = 0, squares = 0;
    for (int y = 0; y < image8.rows; ++y) {
        const std::uint8_t* p = image8.ptr<std::uint8_t>(y);
        for (int x0 = 0; x0 < samples; x0 += stretch) {
            const int x1 = std::min(samples, x0 + stretch);
            std::uint32_t s = 0, q = 0;
            for (int x = x0; x < x1; ++x) {
                s += p[x];
                q += std::uint32_t(p[x]) * p[x];
            }
            sum += s;
            squares += q;
        }
    }
    const double n = double(image8.rows) * samples;
    const double mean = double(sum) / n;
    const double variance = std::max(0.0, double(squares) / n - mean * mean);
    return int(mean + 4 * std::sqrt(variance));
}
