#pragma once

#include <QByteArray>
#include <cstdint>

// The shooting data stored with every image file, in standard TIFF and EXIF tags whose
// meaning the suite redefines (see TiffFile.h for the mapping).
struct ShootingData {
    static constexpr int maxModelLength = 99;
    static constexpr int dateTimeLength = 20;

    int32_t exposureNumerator = 0; // exposure time in seconds, as a fraction
    int32_t exposureDenominator = 1;
    int32_t gain = 0;   // gain step of the capture
    int32_t offset = 0; // the camera's black-level offset at capture time
    // 'C' (colour, raw Bayer) or 'M' (monochrome), one digit for the Bayer pattern
    // (0 BG, 1 RG, 2 GB, 3 GR), then the camera name; at most maxModelLength characters.
    QByteArray model;
    // dateTimeLength bytes as read from a file; the writer always stores zeros.
    QByteArray dateTime = QByteArray(dateTimeLength, '\0');
    int32_t frameCount = 1;      // frames combined into the image
    int32_t correctionFlags = 0; // bit 0: dark subtracted, bit 1: flat applied

    enum CorrectionFlag : int32_t { DarkSubtracted = 1, FlatApplied = 2 };
};
