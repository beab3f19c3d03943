#pragma once

#include <QString>
#include <opencv2/core.hpp>

struct SettingsRecord;
struct ShootingData;

// Master darks and flats and the one per-pixel correction applied with them.
namespace DarkFlat {

enum Mode { DarkOnly = 0, FlatOnly = 1, DarkAndFlat = 2 };
enum Operation { SubtractDark = 0, CorrectFlat = 1 };

// Folds a new 16-bit frame into the running mean of the n frames already in `accumulator`
// (unsigned integer arithmetic, truncated); the first frame (n = 0) is copied.
void addFrameToAverage(cv::Mat& accumulator, const cv::Mat& frame, int n);

// The flat's reference levels: the brightest block mean over a grid of 100 x 100 blocks,
// one for a mono sensor, one per Bayer phase (index (row & 1) * 2 + (column & 1)) for a colour
// one, less the offset. A frame too small for blocks of a whole pixel (two for colour)
// gets blocks of that size and fewer of them.
struct FlatReference {
    int mono = 0;
    int phase[4] = {0, 0, 0, 0};
    int at(int row, int column, bool isColor) const {
        return isColor ? phase[(row & 1) * 2 + (column & 1)] : mono;
    }
};
FlatReference flatReference(const cv::Mat& flat, bool isColor, int offset);

// Corrects a raw 16-bit frame in place: mode 0 subtracts the dark, 1 divides by the flat,
// 2 does both; the offset stays in the data. False, and the frame untouched, when a master
// the mode needs is not of the frame's size.
bool correctFrame(cv::Mat& raw, const cv::Mat& dark, const cv::Mat& flat, bool isColor, int mode,
                  int offset);

// The data folder's master files named by `preDark` / `preFlat`, for frames of this size
// (and gain); failures are told to the user.
bool loadMasterDark(const SettingsRecord& settings, int width, int height, int gain, cv::Mat* dark);
bool loadMasterFlat(const SettingsRecord& settings, int width, int height, cv::Mat* flat);

// Corrects one stored frame (Windows-form path) and writes it over itself, with its colour
// twin for a colour frame. False when it was refused or failed.
bool correctFile(const SettingsRecord& settings, const QString& path, int operation);

// Writes a corrected raw frame over its file with its shooting data, and for a colour frame
// the demosaiced colour twin ("C" in place of the class letter).
bool saveCorrected(const QString& path, const cv::Mat& raw, const ShootingData& data);

// "X:\VesperixData\" of the data drive.
QString dataFolder(const SettingsRecord& settings);

} // namespace DarkFlat
