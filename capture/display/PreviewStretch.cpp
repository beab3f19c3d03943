#include "PreviewStretch.h"

#include "FrameOps.h"

#include <algorithm>
#include <cmath>
#include <opencv2/core/hal/intrin.hpp>
#include <vector>

namespace {

constexpr double shadowsClip = 2.8;       // deviations below the median
constexpr double backgroundTarget = 0.25; // where the median lands on screen
constexpr double madToSigma = 1.4826;     // a normal distribution's sigma from its MAD
constexpr double sampleCount = 250000;    // enough for a median to a level or two

// A histogram of every step-th sample across and down. An odd step visits the four sites of a
// Bayer cell, and the channels of an interleaved frame, alike.
template <typename T>
std::vector<std::uint32_t> histogram(const cv::Mat& samples, int levels, std::uint32_t& counted) {
    const double total = double(samples.total()) * samples.channels();
    int step = std::max(1, int(std::ceil(std::sqrt(total / sampleCount))));
    if (step % 2 == 0)
        ++step;
    std::vector<std::uint32_t> counts(size_t(levels), 0);
    const cv::Mat flat = samples.reshape(1);
    counted = 0;
    for (int y = 0; y < flat.rows; y += step) {
        const T* row = flat.ptr<T>(y);
        for (int x = 0; x < flat.cols; x += step) {
            ++counts[row[x]];
            ++counted;
        }
    }
    return counts;
}

int medianOf(const std::vector<std::uint32_t>& counts, std::uint32_t counted) {
    std::uint64_t below = 0;
    for (size_t level = 0; level < counts.size(); ++level) {
        below += counts[level];
        if (2 * below >= counted)
            return int(level);
    }
    return int(counts.size()) - 1;
}

// The median absolute deviation in levels: the half-width around the median that holds half
// the samples.
int madOf(const std::vector<std::uint32_t>& counts, std::uint32_t counted, int median) {
    const int levels = int(counts.size());
    std::uint64_t inside = counts[size_t(median)];
    int width = 0;
    while (2 * inside < counted && (median - width > 0 || median + width < levels - 1)) {
        ++width;
        if (median - width >= 0)
            inside += counts[size_t(median - width)];
        if (median + width < levels)
            inside += counts[size_t(median + width)];
    }
    return width;
}

} // namespace

PreviewStretch::PreviewStretch(const cv::Mat& frame) {
    if (frame.empty() || (frame.depth() != CV_8U && frame.depth() != CV_16U))
        return;
    depth = frame.depth();
    const int levels = depth == CV_8U ? 256 : 65536;
    std::uint32_t counted = 0;
    const std::vector<std::uint32_t> counts =
        depth == CV_8U ? histogram<std::uint8_t>(frame, levels, counted)
                       : histogram<std::uint16_t>(frame, levels, counted);
    const int median = medianOf(counts, counted);
    // A flat frame has no deviation; one level stands in, so its median still lands on target.
    const double sigma = std::max(1, madOf(counts, counted, median)) * madToSigma;
    shadows = std::max(0, int(median - shadowsClip * sigma));
    const double range = levels - 1 - shadows;
    // The balance that takes the median, measured from the shadows, to the target. A median
    // down at the shadows counts as one level above them: else every level above would show
    // white, and the noise of a black sky with it.
    const double x = std::max(median - shadows, 1) / range;
    const double balance =
        x * (1 - backgroundTarget) / (x * (1 - 2 * backgroundTarget) + backgroundTarget);
    // The midtone transfer (m - 1) x / ((2m - 1) x - m) of the balance m, for x = d / range.
    // Its denominator stays above zero for m below 1, which a median at full scale reaches;
    // the margin keeps it clear of the rounding of single precision.
    const double m = std::min(balance, 0.999);
    gain = float(255 * (1 - m));
    slope = float(1 - 2 * m);
    knee = float(m * range);
}

float PreviewStretch::shown(int sample) const {
    const float d = float(std::max(sample - shadows, 0));
    return gain * d / (slope * d + knee);
}

// shown() along a row, sixteen samples at a time on the processor's vector unit: a lookup
// table's load per sample cannot be vectorised and took 2.5 times as long.
void PreviewStretch::stretchRow(const std::uint16_t* in, std::uint8_t* out, int samples) const {
    using namespace cv;
    const v_uint16x8 black = v_setall_u16(std::uint16_t(shadows));
    const v_float32x4 a = v_setall_f32(gain), b = v_setall_f32(slope), c = v_setall_f32(knee);
    const auto four = [&](const v_uint32x4& above) {
        const v_float32x4 d = v_cvt_f32(v_reinterpret_as_s32(above));
        return v_round(a * d / (b * d + c));
    };
    int i = 0;
    for (; i + 16 <= samples; i += 16) {
        // The unsigned subtraction stops at zero: the clip of the shadows.
        v_uint32x4 d0, d1, d2, d3;
        v_expand(v_load(in + i) - black, d0, d1);
        v_expand(v_load(in + i + 8) - black, d2, d3);
        v_store(out + i, v_pack_u(v_pack(four(d0), four(d1)), v_pack(four(d2), four(d3))));
    }
    for (; i < samples; ++i)
        out[i] = std::uint8_t(cvRound(shown(in[i])));
}

void PreviewStretch::apply(const cv::Mat& frame, cv::Mat& out) const {
    if (frame.empty() || frame.depth() != depth) {
        out.release();
        return;
    }
    if (depth == CV_8U) {
        cv::Mat table(1, 256, CV_8U);
        for (int level = 0; level < 256; ++level)
            table.at<std::uint8_t>(level) = std::uint8_t(cvRound(shown(level)));
        cv::LUT(frame, table, out);
        return;
    }
    out.create(frame.size(), CV_MAKETYPE(CV_8U, frame.channels()));
    const int samples = frame.cols * frame.channels();
    // Bands of rows on OpenCV's threads, as the display's demosaic and resize run.
    cv::parallel_for_(cv::Range(0, frame.rows), [&](const cv::Range& rows) {
        for (int y = rows.start; y < rows.end; ++y)
            stretchRow(frame.ptr<std::uint16_t>(y), out.ptr<std::uint8_t>(y), samples);
    });
}

void screenPicture(const cv::Mat& frame16, bool stretched, cv::Mat& out) {
    if (stretched)
        PreviewStretch(frame16).apply(frame16, out);
    else
        highBytes(frame16, out);
}
