#include "AxiloStarDetector.h"

#include "RowScan.h"

#include <algorithm>

AxiloStarDetector::AxiloStarDetector(MessageHandler showMessage)
    : showMessage(std::move(showMessage))
    , records(maxLabels + 1)
    , parent(maxLabels + 1) {
    found.reserve(maxLabels);
    for (auto& row : rowLabels)
        row.assign(640, 0);
}

bool AxiloStarDetector::searchBox(const cv::Mat& grey, int threshold) {
    if (!label(grey, threshold))
        return false;
    for (StarBlob& blob : found)
        blob.sortKey = blob.pixelCount;
    sortByKey(true);
    chosenBlob = found.empty() ? -1 : 0;
    return true;
}

bool AxiloStarDetector::searchFrame(const cv::Mat& grey, int threshold, cv::Point axisCentre) {
    if (!label(grey, threshold))
        return false;
    for (StarBlob& blob : found) {
        const std::int64_t dx = blob.firstX - axisCentre.x, dy = blob.firstY - axisCentre.y;
        blob.sortKey = dx * dx + dy * dy;
    }
    sortByKey(false);
    chosenBlob = firstInBand(minPixels, 250, grey.size());
    if (chosenBlob < 0)
        chosenBlob = firstInBand(250, 1000, grey.size());
    return true;
}

// One raster pass. Each pixel takes the label of its left or upper neighbour, or a new one;
// where the two differ their groups are united. The sums are kept per label and gathered
// into the groups afterwards, so no pixel is visited twice.
bool AxiloStarDetector::label(const cv::Mat& grey, int threshold) {
    found.clear();
    chosenBlob = -1;
    nextLabel = 1;
    if (grey.type() != CV_8UC1)
        return false;
    // A pixel of value 0 never counts: it would add no weight to its blob's centroid.
    threshold = std::max(threshold, 0);
    const int width = grey.cols;
    for (int i = 0; i < 2; ++i) {
        if (int(rowLabels[i].size()) < width)
            rowLabels[i].assign(std::size_t(width), 0);
        else
            std::fill(rowLabels[i].begin(), rowLabels[i].end(), std::uint16_t(0));
        labelledFrom[i] = labelledTo[i] = 0;
    }
    for (int y = 0; y < grey.rows; ++y) {
        const std::uint8_t* src = grey.ptr<std::uint8_t>(y);
        const int now = y & 1;
        std::uint16_t* row = rowLabels[now].data();
        const std::uint16_t* above = rowLabels[now ^ 1].data(); // all 0 above the first row
        if (labelledFrom[now] < labelledTo[now])
            std::fill(row + labelledFrom[now], row + labelledTo[now], std::uint16_t(0));
        labelledFrom[now] = width;
        labelledTo[now] = 0;
        int x = 0;
        while ((x = nextAbove(src, x, width, threshold)) < width) {
            labelledFrom[now] = std::min(labelledFrom[now], x);
            int left = 0;
            for (; x < width && src[x] > threshold; ++x) {
                const int up = above[x];
                int taken = left ? left : up;
                if (taken == 0) {
                    if (nextLabel > maxLabels) {
                        found.clear();
                        if (showMessage)
                            showMessage(QStringLiteral("Label overflow"));
                        return false;
                    }
                    taken = nextLabel++;
                    parent[std::size_t(taken)] = std::uint16_t(taken);
                    StarBlob& fresh = records[std::size_t(taken)];
                    fresh = StarBlob();
                    fresh.label = taken;
                    fresh.firstX = x;
                    fresh.firstY = y;
                } else if (left && up && left != up) {
                    unite(left, up);
                }
                StarBlob& blob = records[std::size_t(taken)];
                const int value = src[x];
                ++blob.pixelCount;
                blob.brightnessSum += value;
                blob.sumXI += double(value) * x;
                blob.sumYI += double(value) * y;
                row[x] = std::uint16_t(taken);
                left = taken;
            }
            labelledTo[now] = x;
        }
    }
    collect();
    return true;
}

int AxiloStarDetector::root(int label) {
    while (parent[std::size_t(label)] != label) {
        const int up = parent[std::size_t(label)];
        parent[std::size_t(label)] = parent[std::size_t(up)]; // halves the path for next time
        label = up;
    }
    return label;
}

// The smaller root wins: labels are handed out in raster order, so it holds the group's
// first pixel.
void AxiloStarDetector::unite(int a, int b) {
    a = root(a);
    b = root(b);
    if (a < b)
        parent[std::size_t(b)] = std::uint16_t(a);
    else if (b < a)
        parent[std::size_t(a)] = std::uint16_t(b);
}

// Adds every label's sums into its group's root (a root's number is below its members'),
// then keeps the groups large enough to be stars, in label order.
void AxiloStarDetector::collect() {
    for (int l = nextLabel - 1; l >= 1; --l) {
        const int r = root(l);
        if (r == l)
            continue;
        StarBlob& into = records[std::size_t(r)];
        const StarBlob& from = records[std::size_t(l)];
        into.pixelCount += from.pixelCount;
        into.brightnessSum += from.brightnessSum;
        into.sumXI += from.sumXI;
        into.sumYI += from.sumYI;
    }
    for (int l = 1; l < nextLabel; ++l) {
        const StarBlob& blob = records[std::size_t(l)];
        if (parent[std::size_t(l)] == l && blob.pixelCount >= minPixels)
            found.push_back(blob);
    }
}

// Equal keys keep label order, so the result does not depend on the sort's algorithm.
void AxiloStarDetector::sortByKey(bool largestFirst) {
    std::sort(found.begin(), found.end(), [largestFirst](const StarBlob& a, const StarBlob& b) {
        if (a.sortKey != b.sortKey)
            return largestFirst ? a.sortKey > b.sortKey : a.sortKey < b.sortKey;
        return a.label < b.label;
    });
}

int AxiloStarDetector::firstInBand(int lowest, int highest, const cv::Size& size) const {
    for (std::size_t i = 0; i < found.size(); ++i) {
        const StarBlob& blob = found[i];
        if (blob.pixelCount < lowest || blob.pixelCount > highest)
            continue;
        const double x = blob.centroidX(), y = blob.centroidY();
        if (x >= edgeMargin && x <= size.width - edgeMargin && y >= edgeMargin &&
            y <= size.height - edgeMargin)
            return int(i);
    }
    return -1;
}
