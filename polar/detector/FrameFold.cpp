#include "FrameFold.h"

#include "DetectionThreshold.h"

#include <algorithm>
#include <cstdint>
#include <opencv2/core/hal/intrin.hpp>

namespace {

// One grey row from two frame rows. Each horizontal pair of pixels is added per byte with
// saturation, so a bright pair clips channel by channel before the two rows are averaged.
void foldRows(const std::uint8_t* top, const std::uint8_t* bottom, std::uint8_t* out, int width) {
    int x = 0;
#if CV_SIMD128
    const cv::v_uint16x8 lowByte = cv::v_setall_u16(0xFF);
    // floor(n x 21846 / 65536) is n / 3 for every n up to 6 x 255.
    const cv::v_uint16x8 third = cv::v_setall_u16(21846);
    // The even and odd pixel of each pair, as the low and high byte of one 16-bit lane.
    const auto pairSum = [&lowByte](const cv::v_uint8x16& channel) {
        const cv::v_uint16x8 lanes = cv::v_reinterpret_as_u16(channel);
        return cv::v_min((lanes & lowByte) + (lanes >> 8), lowByte);
    };
    const auto eightPixels = [&pairSum, &third](const std::uint8_t* a, const std::uint8_t* b) {
        cv::v_uint8x16 b0, g0, r0, b1, g1, r1;
        cv::v_load_deinterleave(a, b0, g0, r0);
        cv::v_load_deinterleave(b, b1, g1, r1);
        const cv::v_uint16x8 sum =
            pairSum(b0) + pairSum(g0) + pairSum(r0) + pairSum(b1) + pairSum(g1) + pairSum(r1);
        return cv::v_mul_hi(sum, third);
    };
    for (; x + 16 <= width; x += 16) {
        const std::size_t at = std::size_t(x) * 6;
        const cv::v_uint16x8 first = eightPixels(top + at, bottom + at);
        const cv::v_uint16x8 second = eightPixels(top + at + 48, bottom + at + 48);
        cv::v_store(out + x, cv::v_pack(first, second)); // the pack saturates at 255
    }
#endif
    for (; x < width; ++x) {
        const std::uint8_t* a = top + std::size_t(x) * 6;
        const std::uint8_t* b = bottom + std::size_t(x) * 6;
        int sum = 0;
        for (int c = 0; c < 3; ++c)
            sum += std::min(a[c] + a[c + 3], 255) + std::min(b[c] + b[c + 3], 255);
        out[x] = std::uint8_t(std::min(sum / 3, 255));
    }
}

} // namespace

bool FrameFold::fold(const cv::Mat& frame) {
    if (frame.type() != CV_8UC3 || frame.cols != frameWidth || frame.rows != frameHeight) {
        greyImage.release();
        limit = 0;
        return false;
    }
    greyImage.create(frameHeight / 2, frameWidth / 2, CV_8UC1);
    for (int y = 0; y < greyImage.rows; ++y)
        foldRows(frame.ptr<std::uint8_t>(2 * y), frame.ptr<std::uint8_t>(2 * y + 1),
                 greyImage.ptr<std::uint8_t>(y), greyImage.cols);
    limit = threshold(greyImage);
    return true;
}

int FrameFold::threshold(const cv::Mat& grey) {
    return detectionThreshold(grey);
}
