#pragma once

#include "StarSpot.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <opencv2/core.hpp>
#include <vector>

// Finds bright spots in an 8-bit grey image by threshold and 4-connected labelling, measures
// them (pixel count, brightness sum, brightness-weighted centroid) and, over a whole frame,
// picks the preferred guide star by size and distance from the edges. Everything it needs is
// allocated at creation, so findStars can be called again and again on the same image.
class StarSpotDetector {
public:
    static constexpr int maxSpots = 5000; // records, label 0 being the background
    static constexpr int minPixels = 5;   // smaller spots are dropped
    static constexpr int edgeMargin = 30; // the preferred star's centroid keeps this far in

    // Copies the image (8-bit, one channel; a region of a larger image is fine).
    explicit StarSpotDetector(const cv::Mat& image);

    // False when the memory could not be had ("No Memory") or the image is not 8-bit grey;
    // such a detector finds no stars.
    bool isValid() const { return valid; }

    // Labels the pixels above `threshold` and returns the number of stars N: in box mode
    // largest first, the largest chosen; over the whole frame brightest first, with the
    // preferred star chosen when there is one. 0 when there are none or too many labels.
    int findStars(int threshold, bool boxMode);

    // Star i of the last search (0 <= i < N); any other i reads as 0.
    int starBoxX(int i) const; // top-left of a 16 x 16 box around the centroid, clamped
    int starBoxY(int i) const;
    int starPixelCount(int i) const;
    double starX(int i) const; // centroid
    double starY(int i) const;

    // The chosen star; all 0 when none is chosen.
    int chosenPixelCount() const;
    double chosenX() const;
    double chosenY() const;
    double chosenBoxX() const; // centroid - 8, so 0 at the centre of a 16 x 16 box
    double chosenBoxY() const;
    int chosen() const { return chosenStar; } // index or -1

    // The threshold for a second, tighter search: halfway to star 0's mean brightness when
    // that star has more than 10 pixels.
    int refinedThreshold(int threshold) const;

private:
    void outOfMemory();
    bool label(int threshold);
    void measure();
    void compact();
    void sortBy(bool byMeanBrightness);
    void choosePreferred();
    int findInBand(int from, int to, int lowest, int highest) const;
    bool clearOfEdges(const StarSpot& spot) const;
    void clearLabels(int rows);
    const StarSpot* star(int i) const;
    int boxCorner(double centroid, int size) const;

    cv::Mat image; // continuous copy
    int width = 0, height = 0;
    struct Free {
        void operator()(void* p) const { std::free(p); }
    };
    // One label per pixel. All 0 between searches: a search clears what it labelled.
    std::unique_ptr<std::uint16_t[], Free> labels;
    std::vector<std::uint16_t> noLabels;          // the row above the first
    std::vector<int> firstLabelled, lastLabelled; // columns labelled in each row, -1 when none
    std::unique_ptr<StarSpot[]> spots;            // maxSpots records
    int nextLabel = 1;
    int starCount = 0;
    int chosenStar = -1;
    bool valid = false;
};
