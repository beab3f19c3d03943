#include "PreviewPicture.h"

#include <opencv2/imgproc.hpp>

namespace {

const cv::Scalar red(0, 0, 255);
const cv::Scalar green(0, 255, 0);
constexpr int pointCrossHalfLength = 8;
constexpr int targetRadius = 4;

// A place in grey-image pixels on a picture that shows the image from `origin` on, `factor`
// times magnified.
cv::Point onPicture(const QPointF& at, const cv::Point& origin, int factor) {
    return {int(std::lround((at.x() - origin.x) * factor)),
            int(std::lround((at.y() - origin.y) * factor))};
}

void cross(cv::Mat& picture, const cv::Point& centre, int halfLength, const cv::Scalar& colour) {
    cv::line(picture, centre - cv::Point(halfLength, 0), centre + cv::Point(halfLength, 0), colour);
    cv::line(picture, centre - cv::Point(0, halfLength), centre + cv::Point(0, halfLength), colour);
}

} // namespace

bool PreviewPicture::Reticle::drawsLike(const Reticle& other) const {
    const int l = factor(zoomLevel);
    return zoomLevel == other.zoomLevel && axisCentre == other.axisCentre &&
           points == other.points && ringRadius == other.ringRadius && star == other.star &&
           onPicture(target, {0, 0}, l) == onPicture(other.target, {0, 0}, l);
}

int PreviewPicture::factor(int zoomLevel) {
    return zoomLevel == 3 ? 4 : zoomLevel == 2 ? 2 : 1;
}

int PreviewPicture::nextZoomLevel(int zoomLevel, int step, const QPoint& axisCentre) {
    const auto after = [step](int level) { return (level - 1 + step + 3) % 3 + 1; };
    int next = after(zoomLevel);
    const bool levelTwoFits = axisCentre.x() - width / 4 >= 0 && axisCentre.y() - height / 4 >= 0;
    if (next == 2 && !levelTwoFits)
        next = after(next);
    return next;
}

cv::Mat PreviewPicture::magnified(const cv::Mat& grey, int zoomLevel, const QPoint& axisCentre,
                                  cv::Point* origin) {
    const int l = factor(zoomLevel);
    // Level 1 is the whole image; the others a rectangle about the axis centre.
    const cv::Rect shown = l == 1
                               ? cv::Rect(0, 0, width, height)
                               : cv::Rect(axisCentre.x() - width / l / 2,
                                          axisCentre.y() - height / l / 2, width / l, height / l);
    *origin = shown.tl();
    cv::Mat cut(shown.size(), CV_8UC1, cv::Scalar(0));
    const cv::Rect inside = shown & cv::Rect(0, 0, grey.cols, grey.rows);
    if (!inside.empty())
        grey(inside).copyTo(cut(inside - shown.tl()));
    cv::Mat picture;
    cv::cvtColor(cut, picture, cv::COLOR_GRAY2BGR);
    if (l > 1)
        cv::resize(picture, picture, cv::Size(width, height), 0, 0, cv::INTER_NEAREST);
    return picture;
}

cv::Mat PreviewPicture::draw(const cv::Mat& grey, const Reticle& reticle) {
    const int l = factor(reticle.zoomLevel);
    cv::Point origin;
    cv::Mat picture = magnified(grey, reticle.zoomLevel, reticle.axisCentre, &origin);
    for (const QPoint& point : reticle.points) {
        cross(picture, onPicture(point, origin, l), pointCrossHalfLength, green);
    }
    const cv::Point axis = onPicture(reticle.axisCentre, origin, l);
    cv::line(picture, {0, axis.y}, {width - 1, axis.y}, red);
    cv::line(picture, {axis.x, 0}, {axis.x, height - 1}, red);
    cv::circle(picture, axis, reticle.ringRadius * l, red);
    cv::circle(picture, onPicture(reticle.target, origin, l), targetRadius * l, red);
    if (reticle.star)
        cv::circle(picture, onPicture(*reticle.star, origin, l), targetRadius * l, green);
    return picture;
}

void PreviewPicture::drawCross(cv::Mat& picture, const QPointF& at, int halfLength,
                               const cv::Scalar& colour) {
    cross(picture, onPicture(at, {0, 0}, 1), halfLength, colour);
}
