#pragma once

#include <QColor>
#include <QImage>
#include <opencv2/core.hpp>

// The guide frame as the autoguider window shows it, without the window.
namespace GuidePreview {

// An 8-bit grey or blue-green-red picture as a QImage of its own.
QImage toImage(const cv::Mat& picture);
// The frame in colour from a colour camera's mosaic (`demosaicCode` an OpenCV Bayer code), or
// the grey guide image when the code is 0.
QImage picture(const cv::Mat& frame, const cv::Mat& gray, int demosaicCode);
// A guide box's outline, `corner` its top-left pixel.
void drawBox(QImage& picture, int cornerX, int cornerY, const QColor& colour);

} // namespace GuidePreview
