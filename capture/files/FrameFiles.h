#pragma once

#include "ShootingData.h"

#include <QString>
#include <opencv2/core.hpp>

class DataFolder;
struct SettingsRecord;

// One frame for the file writer: a light frame, or a master dark or flat from a series.
struct FrameWriteJob {
    cv::Mat frame; // 16-bit, one channel: the raw frame or the accumulator
    ShootingData data;
    char kind = 'M'; // 'M' light frame, 'D' master dark, 'F' master flat
    bool isColor = false;
    int bayer = 0;
    bool filterWheel = false;
    int filterPosition = 0; // 0-based
    bool cooled = false;
    int temperature = 0; // sensor temperature, degrees C, read for a master dark
};

// What the writer left in the data folder. ok only when every file of the frame was written.
struct WrittenFiles {
    bool ok = false;
    char kind = 'M';
    bool rawWritten = false;
    QString rawName;    // e.g. "M00012.tif"
    QString rawPath;    // Windows form
    QString colourName; // "C00012.tif" for a colour light frame, once written
};

// The raw file's name for the frame numbered `number`.
QString rawFileName(const FrameWriteJob& job, int number);
QString colourFileName(int number);

// Writes the frame under the next number of the data folder, and for a colour light frame its
// demosaiced twin. Runs on the file-writing thread; the job's frame is only read.
WrittenFiles writeFrameFiles(const FrameWriteJob& job, DataFolder& folder);

// Hands the written files to the rest of the program, on the UI thread: a light frame joins
// the playback list, a master becomes the current master dark or flat and ends its series.
// Returns the file-name label text, the name without folder and extension; empty when
// nothing was written.
QString registerWrittenFiles(const WrittenFiles& written, DataFolder& folder,
                             SettingsRecord& settings, int& darkCaptureMode, int& flatCaptureMode);

// What the file-name label shows for a file: the text between the last "\" and the last ".".
QString fileNameLabel(const QString& path);
