#pragma once

#include <QColor>
#include <QImage>

// A soft round star on black: the colour scaled by a Gaussian profile and saturating in the
// core, black outside its circle, so the chart treats the corners as background.
QImage renderStarSprite(int size, QColor colour);
