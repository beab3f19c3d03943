#pragma once

#include <QString>
#include <opencv2/core/mat.hpp>
#include <vector>

// A picture in memory (8-bit blue, green, red) to draw the chart on. Positions are doubles
// and may lie anywhere; every write is cut to the picture. A chart draws thousands of small
// circles and labels, so both are written straight from shapes worked out once: a circle's
// pixels per size, a label's coverage per text.
class ChartCanvas {
public:
    explicit ChartCanvas(cv::Mat& image);

    cv::Size size() const { return image.size(); }

    void line(cv::Point2d a, cv::Point2d b, const cv::Scalar& colour);
    // The outline of a rectangle upright on the picture, one pixel wide: its edges run along
    // rows and columns and need no smoothing.
    void rectangle(cv::Point2d topLeft, cv::Point2d bottomRight, const cv::Scalar& colour);
    // A circle of that diameter, its outline or filled.
    void circle(cv::Point2d centre, int diameter, const cv::Scalar& colour, bool filled = false);
    // The sprite centred on the point; only its bright pixels are copied, so its dark
    // background leaves the chart as it was.
    void sprite(const cv::Mat& sprite, cv::Point2d centre);
    // Text with its baseline starting at the point.
    void text(cv::Point2d at, const QString& text, const cv::Scalar& colour);

private:
    bool near(cv::Point2d point, double margin) const;

    cv::Mat& image;
};
