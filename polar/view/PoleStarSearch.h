#pragma once

#include "AxiloStarDetector.h"

#include <QPointF>
#include <opencv2/core.hpp>
#include <optional>

// Looks for the pole star in a 32 x 32 patch of the grey image centred on the place where it
// belongs. The patch may reach past the image near an edge: the part outside stays black.
class PoleStarSearch {
public:
    static constexpr int patchSize = 32;

    explicit PoleStarSearch(AxiloStarDetector::MessageHandler showMessage);

    // Searches the patch around `target` (grey-image pixels) with the given threshold.
    void search(const cv::Mat& grey, int threshold, const QPointF& target);

    // The star's offset from the target in grey-image pixels, x to the right and y up, when
    // one was found.
    std::optional<QPointF> offset() const { return starOffset; }
    // Where the star was found, in grey-image pixels.
    std::optional<QPointF> star() const;
    // The patch magnified four times with a red cross through its middle, BGR.
    cv::Mat magnifiedPatch() const;

private:
    AxiloStarDetector detector;
    cv::Mat patch;
    cv::Point origin;
    QPointF searchedTarget;
    std::optional<QPointF> starOffset;
};
