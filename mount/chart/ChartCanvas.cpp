#include "ChartCanvas.h"

#include "ChartProjection.h"

#include <QFont>
#include <algorithm>
#include <opencv2/imgproc.hpp>

namespace {

constexpr int textPixels = 14;
// The widest text the chart draws, to cull labels that cannot reach the picture.
constexpr double textReach = 400;

} // namespace

ChartCanvas::ChartCanvas(cv::Mat& picture)
    : image(picture) {}

ChartCanvas::~ChartCanvas() = default;

bool ChartCanvas::near(cv::Point2d point, double margin) const {
    return point.x > -margin && point.y > -margin && point.x < image.cols + margin &&
           point.y < image.rows + margin;
}

void ChartCanvas::line(cv::Point2d a, cv::Point2d b, const cv::Scalar& colour) {
    if (!clipToImage(a, b, image.size()))
        return;
    cv::line(image, cv::Point(cvRound(a.x), cvRound(a.y)), cv::Point(cvRound(b.x), cvRound(b.y)),
             colour, 1, cv::LINE_AA);
}

void ChartCanvas::circle(cv::Point2d centre, int diameter, const cv::Scalar& colour, bool filled) {
    if (!near(centre, diameter))
        return;
    cv::circle(image, cv::Point(cvRound(centre.x), cvRound(centre.y)), diameter / 2, colour,
               filled ? cv::FILLED : 1, cv::LINE_AA);
}

void ChartCanvas::sprite(const cv::Mat& sprite, cv::Point2d centre) {
    if (sprite.empty() || !near(centre, sprite.cols))
        return;
    const int left = cvRound(centre.x) - sprite.cols / 2, top = cvRound(centre.y) - sprite.rows / 2;
    const int x0 = std::max(0, -left), x1 = std::min(sprite.cols, image.cols - left);
    const int y0 = std::max(0, -top), y1 = std::min(sprite.rows, image.rows - top);
    for (int y = y0; y < y1; ++y) {
        const cv::Vec3b* from = sprite.ptr<cv::Vec3b>(y);
        cv::Vec3b* to = image.ptr<cv::Vec3b>(top + y) + left;
        for (int x = x0; x < x1; ++x) {
            const cv::Vec3b& p = from[x]; // blue, green, red
            if (p[2] > 5 && p[1] > 5 && p[0] > 20)
                to[x] = p;
        }
    }
}

void ChartCanvas::text(cv::Point2d at, const QString& text, const cv::Scalar& colour) {
    if (text.isEmpty() || !near(at, textReach))
        return;
    if (!painter) {
        view = QImage(image.data, image.cols, image.rows, int(image.step), QImage::Format_BGR888);
        painter = std::make_unique<QPainter>(&view);
        QFont font = painter->font();
        font.setPixelSize(textPixels);
        painter->setFont(font);
    }
    painter->setPen(QColor(int(colour[2]), int(colour[1]), int(colour[0])));
    painter->drawText(QPointF(at.x, at.y), text);
}
