#pragma once

#include <opencv2/core.hpp>

// The drawings over the picture on the display canvas (1200 x 640, BGR).

// The zoom navigator: a white frame standing for the whole image, 200 pixels wide with its
// bottom-left corner at (990, 630), and inside it the shown window at its place.
void drawNavigator(cv::Mat& canvas, const cv::Size& imageSize, const cv::Rect& window);

// Brightness histograms of the shown picture around the canvas centre: one in green for a
// mono picture; red, green and blue ones for a colour picture, each scaled to its own peak.
void drawHistograms(cv::Mat& canvas, const cv::Mat& picture);
