#pragma once

#include <cstdint>
#include <opencv2/core.hpp>

// The automatic stretch of a frame for the screen. A sky frame's background sits at a few
// percent of full scale, so its high bytes show black; this stretch clips the shadows a few
// deviations below the median background, keeps the highlights at full scale and bends the
// midtones so that the background lands near a quarter of the screen's range. The statistics
// come from a histogram of a subsample. A raw Bayer mosaic takes one set of statistics for all
// its sites, before it is demosaiced.
class PreviewStretch {
public:
    // Fits the stretch to a frame of 8 or 16 bits per sample, of any number of channels.
    explicit PreviewStretch(const cv::Mat& frame);

    // The frame, of the depth fitted, stretched into 8 bits with the same channels. `out`
    // keeps its memory when it already has the size, and may be the frame itself when that
    // has 8 bits.
    void apply(const cv::Mat& frame, cv::Mat& out) const;

private:
    // The screen value, 0 to 255, of one sample.
    float shown(int sample) const;
    void stretchRow(const std::uint16_t* in, std::uint8_t* out, int samples) const;

    int depth = -1;  // of the frame fitted; -1 for none
    int shadows = 0; // the level that shows black
    // A sample d levels above the shadows shows as gain d / (slope d + knee).
    float gain = 0;
    float slope = 1;
    float knee = 1;
};

// The picture of a 16-bit frame for the screen: stretched, or its high bytes.
void screenPicture(const cv::Mat& frame16, bool stretched, cv::Mat& out);
