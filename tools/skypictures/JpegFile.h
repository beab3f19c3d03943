#pragma once

#include <QImage>
#include <QString>

// Writes a JPEG without chroma subsampling, so that the colour of a sprite only a few pixels
// wide does not bleed into its black corners.
bool writeFullChromaJpeg(const QImage& image, const QString& path, int quality);
