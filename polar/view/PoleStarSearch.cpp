#include "PoleStarSearch.h"

#include <cmath>
#include <opencv2/imgproc.hpp>

PoleStarSearch::PoleStarSearch(AxiloStarDetector::MessageHandler showMessage)
    : detector(std::move(showMessage))
    , patch(patchSize, patchSize, CV_8UC1, cv::Scalar(0)) {}

void PoleStarSearch::search(const cv::Mat& grey, int threshold, const QPointF& target) {
    searchedTarget = target;
    origin = cv::Point(int(std::floor(target.x())) - patchSize / 2,
                       int(std::floor(target.y())) - patchSize / 2);
    const cv::Rect box(origin, cv::Size(patchSize, patchSize));
    const cv::Rect inside = box & cv::Rect(0, 0, grey.cols, grey.rows);
    patch.setTo(0);
    if (!inside.empty())
        grey(inside).copyTo(patch(inside - origin));
    starOffset.reset();
    if (!detector.searchBox(patch, threshold) || detector.chosen() < 0)
        return;
    const StarBlob& blob = detector.blobs()[size_t(detector.chosen())];
    // From the unrounded target, so an aligned mount reads zero whatever the fraction.
    starOffset = QPointF(origin.x + blob.centroidX() - target.x(),
                         -(origin.y + blob.centroidY() - target.y()));
}

std::optional<QPointF> PoleStarSearch::star() const {
    if (!starOffset)
        return std::nullopt;
    return QPointF(searchedTarget.x() + starOffset->x(), searchedTarget.y() - starOffset->y());
}

cv::Mat PoleStarSearch::magnifiedPatch() const {
    constexpr int magnification = 4, size = patchSize * magnification;
    cv::Mat shown;
    cv::resize(patch, shown, cv::Size(size, size), 0, 0, cv::INTER_NEAREST);
    cv::cvtColor(shown, shown, cv::COLOR_GRAY2BGR);
    const cv::Scalar red(0, 0, 255);
    cv::line(shown, {0, size / 2}, {size - 1, size / 2}, red);
    cv::line(shown, {size / 2, 0}, {size / 2, size - 1}, red);
    return shown;
}
