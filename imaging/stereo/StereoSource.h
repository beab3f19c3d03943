#pragma once

#include "ShootingData.h"

#include <QString>
#include <opencv2/core.hpp>

// The stored frame the 3D conversion works on, and the names of what it makes of it.
namespace StereoSource {

// The frame (Windows path) in three channels, blue, green, red, at `depth` bits (16 or 8): a
// raw colour frame demosaiced by its Bayer digit, a monochrome one grey in all three; turned
// by `rotation` quarter turns clockwise as the main view turns it. Its shooting data go to
// `data`. Empty when the file cannot be read.
cv::Mat read(const QString& windowsPath, int depth, int rotation, ShootingData* data = nullptr);

// The 3D file beside the source: its path without ".tif" followed by "_sbs.tif" (side by
// side), "_sbsh.tif" (half-width side by side) or "_ana.tif" (anaglyph).
QString outputPath(const QString& sourcePath, int format);

// Whether a file name is one of those: a processed picture, never a frame to stack.
bool isOutputName(const QString& name);

} // namespace StereoSource
