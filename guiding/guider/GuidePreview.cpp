#include "GuidePreview.h"

#include "GuideSession.h"

#include <QPainter>
#include <opencv2/imgproc.hpp>

namespace GuidePreview {

QImage toImage(const cv::Mat& picture) {
    const QImage::Format format =
        picture.channels() == 3 ? QImage::Format_BGR888 : QImage::Format_Grayscale8;
    return QImage(picture.data, picture.cols, picture.rows, int(picture.step), format).copy();
}

QImage picture(const cv::Mat& frame, const cv::Mat& gray, int demosaicCode) {
    if (demosaicCode == 0)
        return toImage(gray);
    cv::Mat bgr;
    cv::cvtColor(frame, bgr, demosaicCode);
    return toImage(bgr);
}

void drawBox(QImage& picture, int cornerX, int cornerY, const QColor& colour) {
    constexpr int size = GuideSession::boxSize;
    QPainter painter(&picture);
    painter.setPen(colour);
    painter.drawRect(cornerX, cornerY, size - 1, size - 1);
}

} // namespace GuidePreview
