#pragma once

#include <opencv2/core.hpp>

// Turns the polar camera's 1280 x 960 colour frame into the 640 x 480 grey image that is
// shown and searched, and gives the brightness above which a grey pixel counts as star light.
// The grey image is kept between frames, so folding one frame after another allocates nothing.
class FrameFold {
public:
    static constexpr int frameWidth = 1280, frameHeight = 960;

    // Folds an 8-bit BGR frame of 1280 x 960. Any other frame gives false, an empty grey
    // image and a threshold of 0.
    bool fold(const cv::Mat& frame);

    const cv::Mat& grey() const { return greyImage; }
    int threshold() const { return limit; }

    // trunc(mean + 4 x standard deviation) over all pixels, the deviation that of the whole
    // population; 0 for an empty image or one that is not 8-bit.
    static int threshold(const cv::Mat& grey);

private:
    cv::Mat greyImage;
    int limit = 0;
};
