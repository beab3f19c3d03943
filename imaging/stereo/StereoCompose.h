#pragma once

#include <functional>
#include <opencv2/core/mat.hpp>
#include <random>

// The stereo picture made from a star field and its starless twin: the stars are cut out,
// each is given a depth, and two views show them shifted apart by it over the starless sky.
namespace StereoCompose {

enum Format { SideBySide = 0, HalfSideBySide = 1, Anaglyph = 2 };
enum Depth { BrighterNearer = 0, Random = 1 };
enum Strength { Weak = 0, Normal = 1, Strong = 2 };

struct Options {
    int format = SideBySide;
    int depth = BrighterNearer; // any other value counts as BrighterNearer
    int strength = Normal;
};

// The largest shift, in pixels, for a picture `width` pixels wide.
double maxShift(int width, int strength);

// Told after each star with the number done and the number of blobs; false stops the work.
using Progress = std::function<bool(int done, int total)>;

// `source` and `starless`: 8-bit, three channels, the same size. The composed picture (8-bit,
// three channels, in the source's channel order), or an empty one when stopped or the two do
// not match. `random` gives the random depths; seeded by the caller.
cv::Mat compose(const cv::Mat& source, const cv::Mat& starless, const Options& options,
                std::mt19937& random, const Progress& progress = {});

} // namespace StereoCompose
