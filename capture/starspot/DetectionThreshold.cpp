#include "DetectionThreshold.h"

int detectionThreshold(const cv::Mat& image8) {
    if (image8.empty() || image8.depth() != CV_8U)
        return 0;
    // All samples as one channel. OpenCV sums 8-bit samples and their squares in integers, so
    // the mean and the population variance are exact before the square root.
    cv::Scalar mean, deviation;
    cv::meanStdDev(image8.reshape(1), mean, deviation);
    return int(mean[0] + 4 * deviation[0]);
}
