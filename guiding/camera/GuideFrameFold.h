#pragma once

#include <opencv2/core.hpp>

// A video-class camera's colour picture as the 640 × 480 grey guide image: resized to
// 1280 × 960, then each 2 × 2 block folded into one pixel. In each row of a block the two
// neighbours are added per colour, saturating at 255; the two rows' six sums are added, divided
// by 3 and saturated at 255. Four pixels of (10, 20, 30) give 80.
cv::Mat foldGuideFrame(const cv::Mat& bgr);
