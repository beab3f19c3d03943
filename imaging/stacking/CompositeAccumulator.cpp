#include "CompositeAccumulator.h"

#include "DebugLog.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

// out = (acc x N + in x n) / (N + n), truncated. With counts below 2^32 and samples below
// 2^16 the sums are exact in double and the quotient's rounding can never reach the next
// integer, so truncating it gives the integer result; the loop runs vectorised.
void blendRow(const uint16_t* acc, const uint16_t* in, uint16_t* out, int samples, double N,
              double n) {
    const double divisor = N + n;
    for (int x = 0; x < samples; ++x) {
        const double mean = (acc[x] * N + in[x] * n) / divisor;
        out[x] = uint16_t(std::min(mean, 65535.0));
    }
}

} // namespace

bool CompositeAccumulator::start(const cv::Mat& base, int frameCount) {
    if (base.type() != CV_16UC1 && base.type() != CV_16UC3)
        return false;
    current = base.clone(); // a fresh buffer: an image handed out before stays as it was
    composited = std::max(frameCount, 1);
    hasPrevious = false;
    return true;
}

bool CompositeAccumulator::add(const cv::Mat& frame, int frameCount) {
    if (current.empty() || frame.size() != current.size() || frame.type() != current.type())
        return false;
    const int n = std::max(frameCount, 1);
    debugLog("Composite %d + %d", composited, n);
    // The new mean goes into the spare buffer and the old image stays as the undo level, so no
    // copy is made. A spare still shared with a caller is left to it.
    if (previous.u && previous.u->refcount > 1)
        previous.release();
    previous.create(current.size(), current.type());
    const int samples = current.cols * current.channels();
    for (int y = 0; y < current.rows; ++y)
        blendRow(current.ptr<uint16_t>(y), frame.ptr<uint16_t>(y), previous.ptr<uint16_t>(y),
                 samples, composited, n);
    std::swap(current, previous);
    previousCount = composited;
    composited = int(std::min<int64_t>(int64_t(composited) + n, INT_MAX));
    hasPrevious = true;
    return true;
}

bool CompositeAccumulator::takeBack() {
    if (!hasPrevious)
        return false;
    std::swap(current, previous);
    composited = previousCount;
    hasPrevious = false;
    return true;
}
