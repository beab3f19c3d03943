#pragma once

#include <opencv2/core.hpp>

// The running composite: a 16-bit image (one channel for mono, blue-green-red for colour)
// that is the mean of the frames stacked into it, each weighted by the frames it already holds,
// and one level of undo.
class CompositeAccumulator {
public:
    // Starts afresh from a copy of the base (CV_16UC1 or CV_16UC3) holding `frameCount`
    // frames; nothing to take back. False, and nothing changed, for another type.
    bool start(const cv::Mat& base, int frameCount);

    // Stacks a frame already warped onto the base, holding `frameCount` frames:
    // acc = (acc x N + frame x n) / (N + n), truncated, and N grows by n. A count below 1
    // counts as 1. False, and nothing changed, when the frame's size or type is not the
    // composite's.
    bool add(const cv::Mat& frame, int frameCount);

    // Restores the image and count from before the last add. False when there is nothing to
    // take back: before any add, or right after a take-back.
    bool takeBack();

    bool isStarted() const { return !current.empty(); }
    bool canTakeBack() const { return hasPrevious; }
    const cv::Mat& image() const { return current; }
    int count() const { return composited; }

private:
    cv::Mat current;
    cv::Mat previous; // the image before the last add; its buffer is reused by the next add
    int composited = 0;
    int previousCount = 0;
    bool hasPrevious = false;
};
