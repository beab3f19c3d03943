#pragma once

#include <cstdint>
#include <opencv2/core.hpp>

// The colour picture of a raw 16-bit mosaic, made a band of rows at a time for a writer that
// takes it row by row: the whole colour frame (three times the raw one) never exists. Each
// band is demosaiced with two rows of the mosaic around it, so its rows are those of a
// demosaic of the whole frame.
class DemosaicRows {
public:
    DemosaicRows(const cv::Mat& mosaic, int conversionCode, int bandRows = 64);
    // Row y of the colour picture (blue, green, red); rows are asked for in order.
    const std::uint16_t* row(int y);

private:
    const cv::Mat& mosaic;
    const int code;
    const int bandRows;
    int bandStart = -1;
    cv::Mat band; // the colour rows of the band, with the margin
    int bandOffset = 0;
};
