#include "DemosaicRows.h"

#include <algorithm>
#include <opencv2/imgproc.hpp>

namespace {
// Rows of mosaic above and below a band: the demosaic looks one row away, and an even count
// keeps the band's Bayer phase that of the whole frame.
constexpr int margin = 2;
} // namespace

DemosaicRows::DemosaicRows(const cv::Mat& raw, int conversionCode, int rows)
    : mosaic(raw)
    , code(conversionCode)
    , bandRows(std::max(2, rows & ~1)) {}

const std::uint16_t* DemosaicRows::row(int y) {
    if (y < 0 || y >= mosaic.rows)
        return nullptr;
    if (bandStart < 0 || y < bandStart || y >= bandStart + bandRows) {
        bandStart = y - y % bandRows;
        const int top = std::max(0, bandStart - margin);
        const int bottom = std::min(mosaic.rows, bandStart + bandRows + margin);
        cv::cvtColor(mosaic.rowRange(top, bottom), band, code);
        bandOffset = bandStart - top;
    }
    return band.ptr<std::uint16_t>(y - bandStart + bandOffset);
}
