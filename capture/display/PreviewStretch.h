#pragma once

#include <cstdint>
#include <opencv2/core.hpp>
#include <vector>

// The automatic stretch of a frame for the screen. A sky frame's background sits at a few
// percent of full scale, so its high bytes show black; this stretch clips the shadows a few
// deviations below the median background, keeps the highlights at full scale and bends the
// midtones so that the background lands near a quarter of the screen's range. The statistics
// come from a histogram of a subsample. A raw Bayer mosaic gets a curve for each site of its
// 2 x 2 cell, so that the sky shows grey whatever the colour balance of the sensor.
class PreviewStretch {
public:
    // Fits the stretch to a frame of 8 or 16 bits per sample, of any number of channels;
    // `mosaic`: a one-channel frame is a raw Bayer mosaic.
    PreviewStretch(const cv::Mat& frame, bool mosaic);

    // The frame, of the depth fitted, stretched into 8 bits with the same channels. `out`
    // keeps its memory when it already has the size, and may be the frame itself when that
    // has 8 bits.
    void apply(const cv::Mat& frame, cv::Mat& out) const;

private:
    // A sample d levels above the shadows shows as gain d / (slope d + knee).
    struct Curve {
        int shadows = 0; // the level that shows black
        float gain = 0;
        float slope = 1;
        float knee = 1;
        // The screen value, 0 to 255, of one sample.
        float shown(int sample) const;
    };
    static Curve fit(const std::vector<std::uint32_t>& counts, std::uint32_t counted);
    const Curve& curveAt(int row, int column) const { return curves[(row & 1) * 2 + (column & 1)]; }
    void stretchRow(const std::uint16_t* in, std::uint8_t* out, int samples, int row) const;
    void stretchBytes(const cv::Mat& frame, cv::Mat& out) const;

    int depth = -1;  // of the frame fitted; -1 for none
    Curve curves[4]; // by Bayer site, (row & 1) * 2 + (column & 1); all alike for other frames
};

// The picture of a 16-bit frame for the screen: stretched, or its high bytes.
void screenPicture(const cv::Mat& frame16, bool mosaic, bool stretched, cv::Mat& out);
