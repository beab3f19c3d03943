#pragma once

#include <QString>

// One line of the camera list.
struct CameraEntry {
    QString name;
    int vendor = 0;
    int cameraId = 0;
    int width = 0; // the sensor's maximum size
    int height = 0;
    int isColor = 0;
};
