#pragma once

#include "StarBlob.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <opencv2/core.hpp>
#include <vector>

// Finds stars in the polar camera's grey image: pixels brighter than a threshold, grouped into
// 4-connected blobs in one raster pass, measured and sorted. In a search box the largest blob
// is chosen; over the whole frame the blob nearest the axis centre that is clear of the edges
// and of a star's size. All tables are allocated at creation and reused by every search.
class AxiloStarDetector {
public:
    static constexpr int maxLabels = 5000;
    static constexpr int minPixels = 5; // smaller blobs are noise
    static constexpr int edgeMargin = 10;

    using MessageHandler = std::function<void(const QString& text)>;

    // `showMessage` tells the user that a search gave up.
    explicit AxiloStarDetector(MessageHandler showMessage);

    // Box mode: blobs largest first, the first chosen.
    bool searchBox(const cv::Mat& grey, int threshold);

    // Whole-frame mode: blobs by the distance of their first pixel from `axisCentre` (in the
    // image's pixels), nearest first; the first of 5 to 250 pixels whose centroid keeps
    // edgeMargin from every edge is chosen, else the first such of 250 to 1000 pixels.
    bool searchFrame(const cv::Mat& grey, int threshold, cv::Point axisCentre);

    // Both searches give false and no blobs for an image that is not 8-bit grey, and for one
    // with more than maxLabels labels ("Label overflow" is shown).
    const std::vector<StarBlob>& blobs() const { return found; }
    int chosen() const { return chosenBlob; } // index into blobs(), or -1

private:
    bool label(const cv::Mat& grey, int threshold);
    int root(int label);
    void unite(int a, int b);
    void collect();
    void sortByKey(bool largestFirst);
    int firstInBand(int lowest, int highest, const cv::Size& size) const;

    MessageHandler showMessage;
    std::vector<StarBlob> records;                        // per label, 1 to maxLabels
    std::vector<std::uint16_t> parent;                    // per label; a root is its own parent
    std::vector<std::uint16_t> rowLabels[2];              // this row's labels and the row above's
    int labelledFrom[2] = {0, 0}, labelledTo[2] = {0, 0}; // the columns written in each
    std::vector<StarBlob> found;
    int nextLabel = 1;
    int chosenBlob = -1;
};
