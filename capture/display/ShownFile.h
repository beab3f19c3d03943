#pragma once

#include "ShootingData.h"

#include <QString>
#include <opencv2/core.hpp>

// A stored frame read back for playback, with what the display and the info panel need.
struct ShownFile {
    bool ok = false;
    cv::Mat image8; // the file's samples stretched for the screen, or their high bytes
    ShootingData data;
    bool isColor = false; // a raw Bayer frame to demosaic on screen
    int bayer = 0;
    QString date; // when it was taken, else the file's creation time: "yyyy/MM/dd hh:mm:ss"
};

// Reads a frame of the data folder (Windows form); ok false when it is missing or unreadable.
ShownFile readShownFile(const QString& windowsPath, bool stretched);
