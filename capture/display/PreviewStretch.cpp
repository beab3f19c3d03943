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
constexpr double sampleCount = 65536;     // a median to well within the sky's noise

// A histogram of every step-th sample across and down, from (x0, y0). An odd step visits the
// four sites of a Bayer cell, and the channels of an interleaved frame, alike; an even step
// from a site's corner stays on that site.
template <typename T>
std::vector<std::uint32_t> histogram(const cv::Mat& flat, int levels, int step, int x0, int y0,
                                     std::uint32_t& counted) {
    std::vector<std::uint32_t> counts(size_t(levels), 0);
    counted = 0;
    for (int y = y0; y < flat.rows; y += step) {
        const T* row = flat.ptr<T>(y);
        for (int x = x0; x < flat.cols; x += step) {
            ++counts[row[x]];
            ++counted;
        }
    }
    return counts;
}

// The step across and down that takes about `samples` of the frame's samples.
int stepFor(double total, double samples) {
    return std::max(1, int(std::ceil(std::sqrt(total / samples))));
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

PreviewStretch::PreviewStretch(const cv::Mat& frame, bool mosaic) {
    if (frame.empty() || (frame.depth() != CV_8U && frame.depth() != CV_16U))
        return;
    depth = frame.depth();
    const int levels = depth == CV_8U ? 256 : 65536;
    const cv::Mat flat = frame.reshape(1);
    // The curve of the samples every step-th across and down from (x0, y0).
    const auto fitted = [&](int step, int x0, int y0) {
        std::uint32_t counted = 0;
        const std::vector<std::uint32_t> counts =
            depth == CV_8U ? histogram<std::uint8_t>(flat, levels, step, x0, y0, counted)
                           : histogram<std::uint16_t>(flat, levels, step, x0, y0, counted);
        return fit(counts, counted);
    };
    const double total = double(flat.total());
    if (!mosaic || frame.channels() != 1 || frame.rows < 2 || frame.cols < 2) {
        int step = stepFor(total, sampleCount);
        if (step % 2 == 0)
            ++step;
        std::fill(std::begin(curves), std::end(curves), fitted(step, 0, 0));
        return;
    }
    const int step = 2 * stepFor(total / 4, sampleCount / 4);
    for (int site = 0; site < 4; ++site)
        curves[site] = fitted(step, site & 1, site >> 1);
}

PreviewStretch::Curve PreviewStretch::fit(const std::vector<std::uint32_t>& counts,
                                          std::uint32_t counted) {
    Curve curve;
    const int levels = int(counts.size());
    const int median = medianOf(counts, counted);
    // A flat frame has no deviation; one level stands in, so its median still lands on target.
    const double sigma = std::max(1, madOf(counts, counted, median)) * madToSigma;
    curve.shadows = std::max(0, int(median - shadowsClip * sigma));
    const double range = levels - 1 - curve.shadows;
    // The balance that takes the median, measured from the shadows, to the target. A median
    // down at the shadows counts as one level above them: else every level above would show
    // white, and the noise of a black sky with it.
    const double x = std::max(median - curve.shadows, 1) / range;
    const double balance =
        x * (1 - backgroundTarget) / (x * (1 - 2 * backgroundTarget) + backgroundTarget);
    // The midtone transfer (m - 1) x / ((2m - 1) x - m) of the balance m, for x = d / range.
    // Its denominator stays above zero for m below 1, which a median at full scale reaches;
    // the margin keeps it clear of the rounding of single precision.
    const double m = std::min(balance, 0.999);
    curve.gain = float(255 * (1 - m));
    curve.slope = float(1 - 2 * m);
    curve.knee = float(m * range);
    return curve;
}

float PreviewStretch::Curve::shown(int sample) const {
    const float d = float(std::max(sample - shadows, 0));
    return gain * d / (slope * d + knee);
}

// Curve::shown() along a row, sixteen samples at a time on the processor's vector unit: a
// lookup table's load per sample cannot be vectorised and took 2.5 times as long. Every group
// of four samples starts on an even column, so the lanes alternate the row's two sites.
void PreviewStretch::stretchRow(const std::uint16_t* in, std::uint8_t* out, int samples,
                                int row) const {
    using namespace cv;
    const Curve& e = curveAt(row, 0);
    const Curve& o = curveAt(row, 1);
    const auto be = std::uint16_t(e.shadows), bo = std::uint16_t(o.shadows);
    const v_uint16x8 black(be, bo, be, bo, be, bo, be, bo);
    const v_float32x4 a(e.gain, o.gain, e.gain, o.gain), b(e.slope, o.slope, e.slope, o.slope),
        c(e.knee, o.knee, e.knee, o.knee);
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
        out[i] = std::uint8_t(cvRound(curveAt(row, i).shown(in[i])));
}

void PreviewStretch::stretchBytes(const cv::Mat& frame, cv::Mat& out) const {
    cv::Mat tables(4, 256, CV_8U);
    for (int site = 0; site < 4; ++site) {
        for (int level = 0; level < 256; ++level)
            tables.at<std::uint8_t>(site, level) = std::uint8_t(cvRound(curves[site].shown(level)));
    }
    const bool alike = std::equal(std::begin(curves) + 1, std::end(curves), std::begin(curves),
                                  [](const Curve& a, const Curve& b) {
                                      return a.shadows == b.shadows && a.gain == b.gain &&
                                             a.slope == b.slope && a.knee == b.knee;
                                  });
    if (alike) {
        cv::LUT(frame, tables.row(0), out);
        return;
    }
    out.create(frame.size(), frame.type());
    for (int y = 0; y < frame.rows; ++y) {
        const std::uint8_t* in = frame.ptr<std::uint8_t>(y);
        std::uint8_t* shown = out.ptr<std::uint8_t>(y);
        const std::uint8_t* even = tables.ptr<std::uint8_t>((y & 1) * 2);
        const std::uint8_t* odd = tables.ptr<std::uint8_t>((y & 1) * 2 + 1);
        for (int x = 0; x + 1 < frame.cols; x += 2) {
            shown[x] = even[in[x]];
            shown[x + 1] = odd[in[x + 1]];
        }
        if (frame.cols & 1)
            shown[frame.cols - 1] = even[in[frame.cols - 1]];
    }
}

void PreviewStretch::apply(const cv::Mat& frame, cv::Mat& out) const {
    if (frame.empty() || frame.depth() != depth) {
        out.release();
        return;
    }
    if (depth == CV_8U) {
        stretchBytes(frame, out);
        return;
    }
    out.create(frame.size(), CV_MAKETYPE(CV_8U, frame.channels()));
    const int samples = frame.cols * frame.channels();
    // Bands of rows on OpenCV's threads, as the display's demosaic and resize run.
    cv::parallel_for_(cv::Range(0, frame.rows), [&](const cv::Range& rows) {
        for (int y = rows.start; y < rows.end; ++y)
            stretchRow(frame.ptr<std::uint16_t>(y), out.ptr<std::uint8_t>(y), samples, y);
    });
}

void screenPicture(const cv::Mat& frame16, bool mosaic, bool stretched, cv::Mat& out) {
    if (stretched)
        PreviewStretch(frame16, mosaic).apply(frame16, out);
    else
        highBytes(frame16, out);
}
