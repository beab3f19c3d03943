#pragma once

#include <QString>

// The chart's zoom levels and what each one shows.
namespace ChartScales {

constexpr int levels = 12;
constexpr int firstLevel = 2;

// Pixels per unit of the tangent plane at a level (0..11).
double chartScale(int zoomLevel);
// The faintest magnitude of the stars drawn at a level.
double magnitudeLimit(int zoomLevel);
// The sprite size row (0: the largest sprites) for a star of that magnitude at that level.
int spriteRow(double vmag, int zoomLevel);
// "Width = %.1f, Height = %.1f": the degrees the chart spans at that scale.
QString fieldSizeText(double chartScale);

} // namespace ChartScales
