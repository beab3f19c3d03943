#pragma once

#include "GuideSession.h"

#include <opencv2/core.hpp>

// The guide star in the guide box of one 8-bit guide frame, at the threshold of the frame's
// detection: found when the detector sees a star there and again at its refined threshold.
struct GuideStarMeasure {
    GuideStar star;
    int pixelCount = 0; // the star's pixels above the threshold

    // `corner` is the box's top-left pixel; a box reaching out of the frame has no star.
    static GuideStarMeasure inBox(const cv::Mat& gray, int cornerX, int cornerY, int threshold);
};
