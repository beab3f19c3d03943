#pragma once

#include <QString>

// Names of a composite's files in the data folder (file names without the folder). A frame is
// "M" + number + ".tif", its demosaiced colour twin the same with "C"; a composite keeps its
// base's name with "+" and the frame count appended.
namespace CompositeNames {

// "M00012.tif" with 7 frames: "M00012+07.tif"; a base that is itself a composite keeps its stem,
// so "M00012+05.tif" with 12 frames gives "M00012+12.tif".
QString savedName(const QString& baseName, int frameCount);

// The retouched copy of a saved composite: "K" + name.
QString processedName(const QString& savedName);

// The composite's report: "R" + name without ".tif" + ".rpt".
QString reportName(const QString& savedName);

// The name with its class letter M turned into C and C into M; other names are returned as
// they are.
QString colourTwin(const QString& name);

// Whether two names are one frame: the same name, or a frame and its colour twin.
bool sameFrame(const QString& a, const QString& b);

} // namespace CompositeNames
