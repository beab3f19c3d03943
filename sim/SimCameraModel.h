#pragma once

#include "SkyRenderer.h"

#include <QString>
#include <QVector>

// A camera model of the simulated observatory, with its maker's geometry.
struct SimCameraModel {
    enum Vendor { PlayerOne = 0, Asi = 1, Svbony = 2, Usb = 3, Canon = 4 };

    const char* key; // how VESPERIX_SIM_CAMERAS names it
    Vendor vendor;
    const char* name;
    const char* sensorName;
    int width;
    int height;
    double pixelSizeUm;
    bool isColor;
    int bayerPattern; // the library's code: 0 RG, 1 BG, 2 GR, 3 GB
    bool hasCooler;
    int gainMax;
    int offset;

    static const QVector<SimCameraModel>& all();
    // The model of that key (any case), or null.
    static const SimCameraModel* withKey(const QString& key);
    // The sensor the sky is rendered on: the model's geometry and colour filter.
    SimSensor sensor() const;
    // The models named in VESPERIX_SIM_CAMERAS (comma-separated keys), or the default set:
    // a cooled colour main camera, a guide camera, a USB video camera and the polar scope's
    // (after it, so the main program's UVC camera keeps its device index).
    static QVector<SimCameraModel> connected();
};
