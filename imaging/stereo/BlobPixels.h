#pragma once

#include <opencv2/core/mat.hpp>
#include <vector>

// The pixels of every blob of a labelled mask, by label, gathered in one pass: a scan of the
// whole image per blob would take hours on a field of thousands of stars.
class BlobPixels {
public:
    // `labels` (CV_32S) and `stats` as connectedComponentsWithStats made them from `mask`.
    BlobPixels(const cv::Mat& mask, const cv::Mat& labels, const cv::Mat& stats);

    // Blob `label`'s pixels are positions()[begin(label)] up to positions()[end(label)], each
    // y × width + x.
    int begin(int label) const { return start[label]; }
    int end(int label) const { return start[label + 1]; }
    const std::vector<int>& positions() const { return pixels; }

private:
    // `next`: where each label's next pixel goes.
    void gather(const cv::Mat& mask, const cv::Mat& labels, int y, int from, int to,
                std::vector<int>& next);

    std::vector<int> start;
    std::vector<int> pixels;
};
