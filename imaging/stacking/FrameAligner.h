#pragma once

#include "StarEntry.h"

#include <opencv2/core.hpp>
#include <vector>

// How a frame lies on the composite's base, found from their stars.
struct FrameAlignment {
    enum Outcome {
        Aligned,
        NoMatch,      // the star fields could not be matched: not stacked
        SizeMismatch, // the stars are bigger or smaller than the base's (trailing): not stacked
    };
    Outcome outcome = NoMatch;
    // Aligned only: the 2 x 3 CV_64F matrix that maps a pixel of the frame onto the base, as
    // warpAffine takes it (the form of getRotationMatrix2D about the base's centre).
    cv::Mat warp;
    double angle = 0; // radians, the frame's stars turned against the base's
    int matchCount = 0;
};

// Matches a frame's stars against the base's and fits the turn and shift between them.
namespace FrameAligner {

// Fewer kept matches than this cannot fix a turn and a shift against single false matches.
constexpr int minMatches = 3;

// `base` and `current` are star lists nearest the centre first, as detected on frames of
// `frameSize` (the base's); the matches are written into `current`. `compCond` is how strictly
// star sizes must agree: 0 loose, 1 standard, 2 strict. A frame that does not match as it is
// is tried once more turned half a turn about the centre (after a meridian flip).
FrameAlignment align(const std::vector<StarEntry>& base, std::vector<StarEntry>& current,
                     cv::Size frameSize, int compCond);

// The frame turned and shifted onto the base: bilinear, black outside the frame; empty for an
// empty frame or a matrix of another form.
cv::Mat warpOntoBase(const cv::Mat& frame, const cv::Mat& warp, cv::Size frameSize);

} // namespace FrameAligner
