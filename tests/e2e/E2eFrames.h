#pragma once

#include "ShootingData.h"

#include <QString>
#include <opencv2/core.hpp>
#include <vector>

struct SettingsRecord;

// What the end-to-end cases set up and look at in the frames they take.

// A light series of short exposures, as a newcomer would set it.
void shortSeries(SettingsRecord& settings, int frames, int seconds, int interval);

// The shooting data of a stored file (host path), and its 16-bit image when asked for.
ShootingData dataOf(const QString& hostPath, cv::Mat* image = nullptr);

// Pixels of a master dark far above its background: the sensor's hot pixels.
std::vector<cv::Point> hotPixels(const cv::Mat& dark);

// How far the hot pixels stand out of a frame: the mean excess over their neighbours of the
// same Bayer phase.
double hotExcess(const cv::Mat& frame, const std::vector<cv::Point>& hot);

// The stars of a picture on the display's canvas as the star-spot detector finds them, in
// canvas pixels, the largest first.
std::vector<cv::Point2d> canvasStars(const cv::Mat& canvas, const cv::Rect& picture);
