#pragma once

#include "ShootingData.h"

#include <QString>
#include <opencv2/core.hpp>

// A frame of the data folder as the composite takes it: the colour image when there is one,
// else the one-channel image, and the grey picture its stars are found on.
struct CompositeFrame {
    QString name;  // the file actually read: a colour twin replaces a raw frame's name
    cv::Mat image; // CV_16UC1, or CV_16UC3 blue-green-red
    cv::Mat grey;  // CV_16UC1
    ShootingData data;

    bool isColour() const { return image.channels() == 3; }
};

// Reads frames from the data folder (its Windows form, ending in a backslash).
class CompositeFrameReader {
public:
    explicit CompositeFrameReader(const QString& dataFolder);

    // A colour composite ("C…+…") is read in colour; a frame whose colour twin ("C" for "M")
    // lies in the folder is read as that twin; a raw frame of a colour camera without its twin
    // is demosaiced by the Bayer digit of its model. False, after a log line, when the file
    // cannot be read as a 16-bit image of at least 2 x 2 pixels.
    bool read(const QString& name, CompositeFrame& frame) const;

private:
    QString folder;
};
