#pragma once

#include "PhotoHistory.h"

#include <opencv2/core/types.hpp>

class ChartCanvas;
class ChartProjection;

// The marks drawn over the sky: the picked object, the goto target, the telescope and the
// outlines of photographed fields.
namespace ChartMarks {

// A cross of four strokes with a gap in the middle.
void pickedCross(ChartCanvas& canvas, cv::Point2d at);
// Concentric circles of 12 to 18 pixels: green for the target, yellow for the telescope.
void target(ChartCanvas& canvas, cv::Point2d at);
void telescope(ChartCanvas& canvas, cv::Point2d at);
// The outlines of the photographed fields, in yellow: their edges follow the sky, so they
// stay true on any chart.
void photographedFields(ChartCanvas& canvas, const ChartProjection& projection,
                        const PhotoHistory& history);

} // namespace ChartMarks
