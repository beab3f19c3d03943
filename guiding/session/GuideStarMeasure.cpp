#include "GuideStarMeasure.h"

#include "StarSpotDetector.h"

GuideStarMeasure GuideStarMeasure::inBox(const cv::Mat& gray, int cornerX, int cornerY,
                                         int threshold) {
    constexpr int size = GuideSession::boxSize;
    const cv::Rect box(cornerX, cornerY, size, size);
    if ((box & cv::Rect(0, 0, gray.cols, gray.rows)) != box)
        return {};
    StarSpotDetector detector(gray(box));
    if (detector.findStars(threshold, true) == 0 ||
        detector.findStars(detector.refinedThreshold(threshold), true) == 0)
        return {};
    return {GuideStar::at(detector.chosenBoxX(), detector.chosenBoxY()),
            detector.chosenPixelCount()};
}
