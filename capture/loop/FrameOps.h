#pragma once

#include <opencv2/core.hpp>

// Small operations on the frames that go to the screen and to the plate solver.

// Adds offset to every byte of an 8-bit frame (all channels), clamped to 0..255.
void addBrightness(cv::Mat& frame, int offset);

// The 8-bit frame of a 16-bit one: each byte is the high byte of its sample. Anything but a
// 16-bit frame gives an empty one.
cv::Mat highBytes(const cv::Mat& frame16);
// The same into `out`, which keeps its memory when it already has the size.
void highBytes(const cv::Mat& frame16, cv::Mat& out);

// Writes the frame as "C:\VesperixData\solve.jpg" for the plate solver. Failures are only
// logged; the previous file then stays whole.
void saveJpeg(const cv::Mat& frame8);
