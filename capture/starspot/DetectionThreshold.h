#pragma once

#include <opencv2/core.hpp>

// The brightness above which a pixel of an 8-bit image counts as star light: the mean plus
// four standard deviations of all its samples (population variance), truncated. An empty
// image, or one that is not 8-bit, gives 0.
int detectionThreshold(const cv::Mat& image8);
