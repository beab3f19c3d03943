#pragma once

#include "StarEntry.h"

#include <opencv2/core.hpp>
#include <vector>

// The stars a composite is aligned on: blobs of the frame's high byte above its mean plus four
// standard deviations, nearest the centre first.
namespace CompositeStarDetector {

constexpr int maxStars = 200;   // matching costs the fourth power of the list's length
constexpr int maxArea = 100;    // larger blobs are not stars (nebulae, planets, hot columns)
constexpr int firstMinSize = 3; // a star has more pixels than the minimum size
constexpr int lastMinSize = 29;

// `image16` is a 16-bit one-channel frame; anything else gives no stars. Blobs of
// minSize < area < maxArea pixels count, the minimum size raised until at most maxStars
// remain; if even the last minimum size leaves more, the maxStars nearest the centre are kept.
std::vector<StarEntry> detectStars(const cv::Mat& image16);

} // namespace CompositeStarDetector
