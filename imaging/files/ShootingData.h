#pragma once

#include <QByteArray>
#include <QDateTime>
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
    // The start of the exposure, "YYYY:MM:DD HH:MM:SS" and a NUL (local time), as the
    // DateTime tag holds it; zeros when the frame has no time. Read from files as stored.
    QByteArray dateTime = QByteArray(dateTimeLength, '\0');
    int32_t frameCount = 1;      // frames combined into the image
    int32_t correctionFlags = 0; // bit 0: dark subtracted, bit 1: flat applied

    enum CorrectionFlag : int32_t { DarkSubtracted = 1, FlatApplied = 2 };

    // Stores the time to the second; an invalid time stores zeros.
    void setCapturedAt(const QDateTime& time);
    // The time that dateTime holds; invalid when it holds none, or anything but a date and
    // time of the stored form ended by a NUL, as a damaged or foreign file may.
    QDateTime capturedAt() const;
};
