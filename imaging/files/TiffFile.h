#pragma once

#include "ShootingData.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <opencv2/core.hpp>

// The suite's one image file layout: big-endian TIFF, 16 bits per sample, one (mono or raw
// Bayer) or three (RGB) samples per pixel, strips of as many whole rows as fit in 64 KiB and
// an EXIF IFD carrying the shooting data:
//   model -> Model (272), dateTime -> DateTime (306), exposure -> ExposureTime (33434),
//   gain -> ISOSpeedRatings (34855), offset -> BrightnessValue (37379, offset / 1),
//   frameCount -> LightSource (37384), correctionFlags -> Flash (37385).
// The reader accepts only this layout. Paths are given in their Windows form.

// Writes a CV_16UC1 or CV_16UC3 (blue, green, red) image. The file is replaced whole or not
// at all: an existing file survives a failed write. DateTime gets the data's capture time, or
// 20 zero bytes when it holds none. Returns 1 on success, 0 on failure.
int writeTiff(const QString& windowsPath, const cv::Mat& image, const ShootingData& data);

// The same for an image made row by row as it is written, so that it never has to exist
// whole: `row(y)` gives row y (width * channels samples), asked for in order, valid until the
// next call; null fails the write.
using TiffRowSource = std::function<const uint16_t*(int y)>;
int writeTiff(const QString& windowsPath, int width, int height, int channels,
              const TiffRowSource& row, const ShootingData& data);

// Reads a file written by writeTiff into `data` and returns the image: CV_16UC1/CV_16UC3
// for depth 16, CV_8UC1/CV_8UC3 (the high bytes) for depth 8; three channels in blue, green,
// red order. Returns an empty image on failure, or a 1 x 1 image when BitsPerSample has a
// count other than 1 or 3.
cv::Mat readTiff(const QString& windowsPath, ShootingData& data, int depth = 16);
