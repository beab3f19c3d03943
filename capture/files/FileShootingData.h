#pragma once

#include "ShootingData.h"

#include <QDateTime>
#include <QString>

// What the shooting data of a written file is made of, taken at the end of the exposure.
struct ShootingValues {
    int exposureNumerator = 0; // the exposure the frames were taken at, in seconds
    int exposureDenominator = 1;
    int gain = 0;   // the capture gain step
    int offset = 0; // the camera's offset
    bool isColor = false;
    int bayer = 0;
    QString cameraName;
    bool darkOn = false;
    bool flatOn = false;
    int accumulatedCount = 0; // frames in a master
    QDateTime start;          // the start of the exposure, of a master's first one
};

// The shooting data stored with a file of the given kind ('M' light frame, 'D' master dark,
// 'F' master flat). Playback reads the colour flag and the Bayer code back from the model.
ShootingData fileShootingData(char kind, const ShootingValues& values);
