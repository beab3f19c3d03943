#pragma once

#include <QPoint>
#include <QPointF>
#include <QVector>
#include <opencv2/core.hpp>
#include <optional>

// The polar scope's picture as the user sees it: the grey image, magnified about the axis
// centre at the higher zoom levels, with the reticle drawn over it. Display pixels are those
// of the 640 x 480 grey image; at zoom level 2 and 3 a rectangle of 320 x 240 or 160 x 120
// around the axis centre fills the picture. Where the rectangle reaches past the image the
// picture is black there.
class PreviewPicture {
public:
    static constexpr int width = 640, height = 480;

    struct Reticle {
        int zoomLevel = 1;
        QPoint axisCentre;          // display pixels
        QVector<QPoint> points;     // star points taken, display pixels
        int ringRadius = 0;         // display pixels at zoom level 1
        QPointF target;             // where the pole star belongs, display pixels
        std::optional<QPoint> star; // the pole star found near the target

        // True when both draw the same picture on the same image.
        bool drawsLike(const Reticle& other) const;
    };

    // Magnification of a zoom level: 1, 2 or 4.
    static int factor(int zoomLevel);

    // The next level for "Zoom" (+1) or "Wide" (-1): 1, 2, 3 round, with level 2 passed over
    // when its rectangle would begin left of or above the image.
    static int nextZoomLevel(int zoomLevel, int step, const QPoint& axisCentre);

    // The picture of the 8-bit grey image at the reticle's zoom, as BGR, with the reticle.
    static cv::Mat draw(const cv::Mat& grey, const Reticle& reticle);

    // A cross of `halfLength` pixels each way, in the grey image's pixels, on a picture of it
    // at zoom level 1 (the stars found for a point).
    static void drawCross(cv::Mat& picture, const QPointF& at, int halfLength,
                          const cv::Scalar& colour);

private:
    static cv::Mat magnified(const cv::Mat& grey, int zoomLevel, const QPoint& axisCentre,
                             cv::Point* origin);
};
