#include "BlobPixels.h"

#include <cstdint>
#include <cstring>
#include <opencv2/imgproc.hpp>

BlobPixels::BlobPixels(const cv::Mat& mask, const cv::Mat& labels, const cv::Mat& stats) {
    const int count = stats.rows;
    start.assign(count + 1, 0);
    for (int label = 1; label < count; ++label) // 0 is the background
        start[label + 1] = start[label] + stats.at<int>(label, cv::CC_STAT_AREA);
    pixels.resize(start[count]);
    std::vector<int> next(start.begin(), start.end() - 1);
    // The labels are looked up only where the mask is set, and the mask is read eight pixels
    // at a time: nearly all of a star field is sky.
    for (int y = 0; y < mask.rows; ++y) {
        const uchar* row = mask.ptr<uchar>(y);
        int x = 0;
        for (; x + 8 <= mask.cols; x += 8) {
            std::uint64_t eight;
            std::memcpy(&eight, row + x, sizeof eight);
            if (eight != 0)
                gather(mask, labels, y, x, x + 8, next);
        }
        gather(mask, labels, y, x, mask.cols, next);
    }
}

void BlobPixels::gather(const cv::Mat& mask, const cv::Mat& labels, int y, int from, int to,
                        std::vector<int>& next) {
    const uchar* set = mask.ptr<uchar>(y);
    const int* label = labels.ptr<int>(y);
    for (int x = from; x < to; ++x)
        if (set[x])
            pixels[next[label[x]]++] = y * mask.cols + x;
}
