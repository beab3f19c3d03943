#include "StarSpotDetector.h"

#include "DebugLog.h"
#include "RowScan.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

// The preferred star's size bands, in the order they are searched, with the number its
// log line gives the match.
struct SizeBand {
    int lowest, highest;
    int logged;
};
constexpr SizeBand preferredBands[] = {{30, 60, 3}, {15, 30, 3}, {60, 80, 3}, {3, 15, 2}};
constexpr SizeBand lastBand = {80, 260, 6};

} // namespace

StarSpotDetector::StarSpotDetector(const cv::Mat& source) {
    if (source.type() != CV_8UC1)
        return;
    try {
        // The label image first: it is the largest, and a failure leaves the source unread.
        // calloc hands large blocks over as fresh zero pages, and a search touches few.
        labels.reset(
            static_cast<std::uint16_t*>(std::calloc(source.total(), sizeof(std::uint16_t))));
        if (!labels && source.total() > 0)
            throw std::bad_alloc();
        noLabels.assign(std::size_t(source.cols), 0);
        firstLabelled.assign(std::size_t(source.rows), -1);
        lastLabelled.assign(std::size_t(source.rows), -1);
        spots.reset(new StarSpot[maxSpots]); // each record is set when its label starts
        source.copyTo(image);
    } catch (const std::bad_alloc&) {
        outOfMemory();
        return;
    } catch (const cv::Exception&) { // what OpenCV throws when its allocation fails
        outOfMemory();
        return;
    }
    width = image.cols;
    height = image.rows;
    valid = true;
}

void StarSpotDetector::outOfMemory() {
    labels.reset();
    noLabels = {};
    firstLabelled = {};
    lastLabelled = {};
    spots.reset();
    image.release();
    debugLog("No Memory");
}

int StarSpotDetector::findStars(int threshold, bool boxMode) {
    nextLabel = 1;
    starCount = 0;
    chosenStar = -1;
    // A pixel of value 0 never counts: it has no light to weigh the centroid with.
    if (!valid || !label(std::max(threshold, 0)))
        return 0;
    measure();
    compact();
    if (boxMode) {
        sortBy(false);
        if (starCount > 0)
            chosenStar = 0;
        return starCount;
    }
    sortBy(true);
    debugLog("labelNo=%d", starCount);
    choosePreferred();
    return starCount;
}

// First scan: each pixel above the threshold takes the smaller label of its left and upper
// neighbours, or a new one. Where two labels meet, the larger is merged into the smaller one
// step only; a later meeting may redirect it again.
bool StarSpotDetector::label(int threshold) {
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = image.ptr<std::uint8_t>(y);
        std::uint16_t* row = labels.get() + std::size_t(y) * std::size_t(width);
        const std::uint16_t* above = y > 0 ? row - width : noLabels.data();
        int first = -1, last = -1, x = 0;
        while ((x = nextAbove(src, x, width, threshold)) < width) {
            if (first < 0)
                first = x;
            int left = 0;
            for (; x < width && src[x] > threshold; ++x) {
                const int up = above[x];
                int taken;
                if ((left | up) == 0) {
                    if (nextLabel >= maxSpots) {
                        firstLabelled[std::size_t(y)] = first;
                        lastLabelled[std::size_t(y)] = x - 1;
                        clearLabels(y + 1);
                        debugLog("Too many stars");
                        return false;
                    }
                    taken = nextLabel++;
                    spots[taken] = StarSpot{taken, x, y, 0, 0, 0, 0};
                } else {
                    const int a = std::min(left, up), b = std::max(left, up);
                    if (a == 0) {
                        taken = b;
                    } else {
                        taken = a;
                        spots[b].root = a;
                    }
                }
                row[x] = std::uint16_t(taken);
                left = taken;
            }
            last = x - 1;
        }
        firstLabelled[std::size_t(y)] = first;
        lastLabelled[std::size_t(y)] = last;
    }
    return true;
}

// Second scan: every labelled pixel counts towards its label's root, one step up, and its
// label is cleared for the next search.
void StarSpotDetector::measure() {
    for (int y = 0; y < height; ++y) {
        const int first = firstLabelled[std::size_t(y)], last = lastLabelled[std::size_t(y)];
        if (first < 0)
            continue;
        const std::uint8_t* src = image.ptr<std::uint8_t>(y);
        std::uint16_t* row = labels.get() + std::size_t(y) * std::size_t(width);
        for (int x = first; x <= last; ++x) {
            if (row[x] == 0)
                continue;
            StarSpot& spot = spots[spots[row[x]].root];
            const int value = src[x];
            ++spot.pixelCount;
            spot.brightnessSum += value;
            spot.sumXI += double(value * x);
            spot.sumYI += double(value * y);
            row[x] = 0;
        }
        firstLabelled[std::size_t(y)] = lastLabelled[std::size_t(y)] = -1;
    }
}

void StarSpotDetector::clearLabels(int rows) {
    for (int y = 0; y < rows; ++y) {
        const int first = firstLabelled[std::size_t(y)], last = lastLabelled[std::size_t(y)];
        if (first >= 0 && last >= first) {
            std::uint16_t* row = labels.get() + std::size_t(y) * std::size_t(width);
            std::fill(row + first, row + last + 1, std::uint16_t(0));
        }
        firstLabelled[std::size_t(y)] = lastLabelled[std::size_t(y)] = -1;
    }
}

// Keeps the roots of at least minPixels pixels, in label order; a merged label's pixels that
// reached only a label which was itself merged are lost with it.
void StarSpotDetector::compact() {
    int n = 0;
    for (int l = 1; l < nextLabel; ++l) {
        const StarSpot& spot = spots[l];
        if (spot.root == l && spot.pixelCount >= minPixels)
            spots[n++] = spot;
    }
    starCount = n;
}

// Largest (or brightest on average) first; equal ones keep their order, as an
// adjacent-exchange sort leaves them. That order is the labels' order, which is the raster
// order of their first pixels, so an in-place sort can keep it without a scratch table.
void StarSpotDetector::sortBy(bool byMeanBrightness) {
    const auto key = [byMeanBrightness](const StarSpot& s) {
        return byMeanBrightness ? s.brightnessSum / s.pixelCount : s.pixelCount;
    };
    std::sort(spots.get(), spots.get() + starCount, [&key](const StarSpot& a, const StarSpot& b) {
        const int ka = key(a), kb = key(b);
        if (ka != kb)
            return ka > kb;
        return a.firstY != b.firstY ? a.firstY < b.firstY : a.firstX < b.firstX;
    });
}

// A star of a comfortable size well inside the frame: the brighter half first, then the
// rest, then anything large enough.
void StarSpotDetector::choosePreferred() {
    const int half = starCount / 2;
    const int ranges[2][2] = {{0, half}, {half, starCount}}; // a single star is "the rest"
    for (const auto& range : ranges) {
        for (const SizeBand& band : preferredBands) {
            const int found = findInBand(range[0], range[1], band.lowest, band.highest);
            if (found < 0)
                continue;
            chosenStar = found;
            debugLog("%d select star no %d", band.logged, found);
            return;
        }
    }
    chosenStar = findInBand(0, starCount, lastBand.lowest, lastBand.highest);
    if (chosenStar >= 0)
        debugLog("%d select star no %d", lastBand.logged, chosenStar);
}

int StarSpotDetector::findInBand(int from, int to, int lowest, int highest) const {
    for (int i = from; i < to; ++i) {
        const StarSpot& spot = spots[i];
        if (spot.pixelCount >= lowest && spot.pixelCount <= highest && clearOfEdges(spot))
            return i;
    }
    return -1;
}

bool StarSpotDetector::clearOfEdges(const StarSpot& spot) const {
    const double x = spot.sumXI / spot.brightnessSum, y = spot.sumYI / spot.brightnessSum;
    return x >= edgeMargin && x <= width - edgeMargin && y >= edgeMargin &&
           y <= height - edgeMargin;
}

const StarSpot* StarSpotDetector::star(int i) const {
    return i >= 0 && i < starCount ? &spots[i] : nullptr;
}

// Rounded, then kept 10 pixels from the top-left edges; the far limit wins in an image too
// small for both.
int StarSpotDetector::boxCorner(double centroid, int size) const {
    int corner = int(centroid - 8 + 0.5);
    if (corner < 10)
        corner = 10;
    if (corner > size - 10)
        corner = size - 10;
    return corner;
}

int StarSpotDetector::starBoxX(int i) const {
    return star(i) ? boxCorner(starX(i), width) : 0;
}

int StarSpotDetector::starBoxY(int i) const {
    return star(i) ? boxCorner(starY(i), height) : 0;
}

int StarSpotDetector::starPixelCount(int i) const {
    const StarSpot* s = star(i);
    return s ? s->pixelCount : 0;
}

double StarSpotDetector::starX(int i) const {
    const StarSpot* s = star(i);
    return s ? s->sumXI / s->brightnessSum : 0;
}

double StarSpotDetector::starY(int i) const {
    const StarSpot* s = star(i);
    return s ? s->sumYI / s->brightnessSum : 0;
}

int StarSpotDetector::chosenPixelCount() const {
    return starPixelCount(chosenStar);
}

double StarSpotDetector::chosenX() const {
    return starX(chosenStar);
}

double StarSpotDetector::chosenY() const {
    return starY(chosenStar);
}

double StarSpotDetector::chosenBoxX() const {
    return chosenStar >= 0 ? chosenX() - 8 : 0;
}

double StarSpotDetector::chosenBoxY() const {
    return chosenStar >= 0 ? chosenY() - 8 : 0;
}

int StarSpotDetector::refinedThreshold(int threshold) const {
    const StarSpot* s = star(0);
    if (s && s->pixelCount > 10)
        return (s->brightnessSum / s->pixelCount + threshold) / 2;
    return threshold;
}
