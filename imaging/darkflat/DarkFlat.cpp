#include "DarkFlat.h"

#include "BayerPattern.h"
#include "DebugLog.h"
#include "HostPath.h"
#include "SettingsRecord.h"
#include "ShootingData.h"
#include "TiffFile.h"
#include "UserPrompt.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace DarkFlat {

void addFrameToAverage(cv::Mat& accumulator, const cv::Mat& frame, int n) {
    debugLog("Add dark frame");
    if (n <= 0 || accumulator.size() != frame.size() || accumulator.type() != frame.type()) {
        frame.copyTo(accumulator);
        return;
    }
    const uint64_t count = uint64_t(n);
    for (int y = 0; y < frame.rows; ++y) {
        uint16_t* mean = accumulator.ptr<uint16_t>(y);
        const uint16_t* in = frame.ptr<uint16_t>(y);
        const int samples = frame.cols * frame.channels();
        for (int x = 0; x < samples; ++x)
            mean[x] = uint16_t((mean[x] * count + in[x]) / (count + 1));
    }
}

FlatReference flatReference(const cv::Mat& flat, bool isColor, int offset) {
    FlatReference reference;
    const int minimum = isColor ? 2 : 1;
    const int bw = std::max(flat.cols / 100, minimum);
    const int bh = std::max(flat.rows / 100, minimum);
    const int across = std::min(100, flat.cols / bw);
    const int down = std::min(100, flat.rows / bh);
    const int64_t samplesPerPhase = std::max<int64_t>(int64_t(bw) * bh / 4, 1);
    for (int by = 0; by < down; ++by) {
        for (int bx = 0; bx < across; ++bx) {
            int64_t sums[4] = {0, 0, 0, 0};
            const int x0 = bx * bw, x1 = (bx + 1) * bw;
            for (int y = by * bh; y < (by + 1) * bh; ++y) {
                const uint16_t* row = flat.ptr<uint16_t>(y);
                // Even and odd columns summed apart, in a loop the compiler can vectorise.
                uint32_t even = 0, odd = 0;
                int x = x0;
                for (; x + 1 < x1; x += 2) {
                    even += row[x];
                    odd += row[x + 1];
                }
                if (x < x1)
                    ((x & 1) ? odd : even) += row[x];
                const bool evenFirst = (x0 & 1) == 0;
                sums[(y & 1) * 2] += evenFirst ? even : odd;
                sums[(y & 1) * 2 + 1] += evenFirst ? odd : even;
            }
            if (isColor) {
                for (int p = 0; p < 4; ++p)
                    reference.phase[p] =
                        std::max(reference.phase[p], int(sums[p] / samplesPerPhase));
            } else {
                const int64_t mean = (sums[0] + sums[1] + sums[2] + sums[3]) / (int64_t(bw) * bh);
                reference.mono = std::max(reference.mono, int(mean));
            }
        }
    }
    reference.mono = std::max(reference.mono - offset, 0);
    for (int& p : reference.phase)
        p = std::max(p - offset, 0);
    return reference;
}

namespace {

// Mode 0: the dark subtracted, the offset kept.
void subtractDarkRow(uint16_t* r, const uint16_t* d, int count, int offset) {
    for (int x = 0; x < count; ++x)
        r[x] = uint16_t(std::clamp(int(r[x]) - int(d[x]) + offset, 0, 65535));
}

// One sample of modes 1 and 2, in single-precision floating point.
inline uint16_t divideFlat(int raw, int subtrahend, int flat, int offset, float ref) {
    const float v = float(std::max(raw - subtrahend, 0));
    const float fp = float(std::max(flat - offset, 0));
    // w = v / k with k = f' / ref at most 1: a flat at or above its reference (k = 1) or at
    // zero (k = 0) leaves v, below it v is scaled up by ref / f'; a zero flat against a zero
    // reference gives 0. One division, no branches, so the row loop runs vectorised.
    const float scaled = v * ref / (fp > 0 ? fp : 1.0f);
    const float divided = ((fp >= ref) | (fp == 0)) ? v : scaled;
    const float w = ((fp == 0) & (ref == 0)) ? 0.0f : divided;
    // w is never negative, so the conversion truncates toward zero; anything at or above
    // 2^17 ends at the top of the range whatever the offset.
    const int truncated = int(std::min(w, 131072.0f));
    return uint16_t(std::clamp(truncated + offset, 0, 65535));
}

// Modes 1 and 2 for one row; `references` holds the reference of even and of odd columns.
template <bool withDark>
void divideFlatRow(uint16_t* r, const uint16_t* d, const uint16_t* f, int count, int offset,
                   const float references[2]) {
    const float even = references[0], odd = references[1];
    for (int x = 0; x < count; ++x)
        r[x] = divideFlat(r[x], withDark ? d[x] : offset, f[x], offset, (x & 1) ? odd : even);
}

} // namespace

bool correctFrame(cv::Mat& raw, const cv::Mat& dark, const cv::Mat& flat, bool isColor, int mode,
                  int offset) {
    const bool useDark = mode != FlatOnly;
    const bool useFlat = mode != DarkOnly;
    if ((useDark && dark.size() != raw.size()) || (useFlat && flat.size() != raw.size()))
        return false;
    const FlatReference reference =
        useFlat ? flatReference(flat, isColor, offset) : FlatReference();
    cv::parallel_for_(cv::Range(0, raw.rows), [&](const cv::Range& rows) {
        for (int y = rows.start; y < rows.end; ++y) {
            uint16_t* r = raw.ptr<uint16_t>(y);
            const uint16_t* d = useDark ? dark.ptr<uint16_t>(y) : nullptr;
            if (!useFlat) {
                subtractDarkRow(r, d, raw.cols, offset);
                continue;
            }
            const float references[2] = {float(reference.at(y, 0, isColor)),
                                         float(reference.at(y, 1, isColor))};
            if (useDark)
                divideFlatRow<true>(r, d, flat.ptr<uint16_t>(y), raw.cols, offset, references);
            else
                divideFlatRow<false>(r, d, flat.ptr<uint16_t>(y), raw.cols, offset, references);
        }
    });
    return true;
}

QString dataFolder(const SettingsRecord& settings) {
    return QString(QChar(settings.drive)) + ":\\VesperixData\\";
}

namespace {

bool loadMaster(const QString& path, int width, int height, const char* missing,
                const char* wrongSize, cv::Mat* master, ShootingData* data) {
    if (!QFileInfo(HostPath::toHost(path)).isFile()) {
        UserPrompt::showMessage(QString::fromUtf8(missing));
        return false;
    }
    *master = readTiff(path, *data, 16);
    if (master->cols != width || master->rows != height || master->channels() != 1) {
        UserPrompt::showMessage(QString::fromUtf8(wrongSize));
        return false;
    }
    return true;
}

// The file of the same name with its class letter (the sixth character before ".") as "C".
QString colourTwin(const QString& path) {
    const int dot = path.lastIndexOf('.');
    QString twin = path;
    if (dot >= 6)
        twin[dot - 6] = 'C';
    return twin;
}

} // namespace

bool loadMasterDark(const SettingsRecord& settings, int width, int height, int gain,
                    cv::Mat* dark) {
    ShootingData data;
    if (!loadMaster(dataFolder(settings) + settings.preDark, width, height,
                    "ダークファイルがありません", "ダークファイルとは画像サイズが異なります.", dark,
                    &data))
        return false;
    if (data.gain == gain)
        return true;
    return UserPrompt::askYesNo(
        QStringLiteral("ダークファイルとはゲインが異なります。続行しすか?"));
}

bool loadMasterFlat(const SettingsRecord& settings, int width, int height, cv::Mat* flat) {
    ShootingData data;
    return loadMaster(dataFolder(settings) + settings.preFlat, width, height,
                      "フラットファイルがありません", "フラットファイルとは画像サイズが異なります.",
                      flat, &data);
}

bool correctFile(const SettingsRecord& settings, const QString& path, int operation) {
    ShootingData data;
    cv::Mat raw = readTiff(path, data, 16);
    if (raw.empty() || raw.channels() != 1)
        return false;
    if (operation == SubtractDark) {
        if (data.correctionFlags & 1) {
            UserPrompt::showMessage(QStringLiteral("既にダーク減算済み."));
            return false;
        }
        if (data.correctionFlags & 2) {
            UserPrompt::showMessage(QStringLiteral("フラット補正済みはダーク減算できません."));
            return false;
        }
    } else if (data.correctionFlags & 2) {
        UserPrompt::showMessage(QStringLiteral("既にフラット補正済み."));
        return false;
    }
    const bool isColor = data.model.startsWith('C');
    debugLog("Gain=%d", data.gain);
    debugLog("Offset=%d", data.offset);
    debugLog("width = %d, height=%d color=%d", raw.cols, raw.rows, int(isColor));
    cv::Mat master;
    const bool loaded = operation == SubtractDark
                            ? loadMasterDark(settings, raw.cols, raw.rows, data.gain, &master)
                            : loadMasterFlat(settings, raw.cols, raw.rows, &master);
    if (!loaded)
        return false;
    debugLog("start dark flat");
    const bool corrected =
        operation == SubtractDark
            ? correctFrame(raw, master, cv::Mat(), isColor, DarkOnly, data.offset)
            : correctFrame(raw, cv::Mat(), master, isColor, FlatOnly, data.offset);
    if (!corrected)
        return false;
    data.correctionFlags |= operation == SubtractDark ? 1 : 2;
    return saveCorrected(path, raw, data);
}

bool saveCorrected(const QString& path, const cv::Mat& raw, const ShootingData& data) {
    if (!writeTiff(path, raw, data))
        return false;
    if (!data.model.startsWith('C'))
        return true;
    cv::Mat colour;
    cv::cvtColor(raw, colour, BayerPattern::demosaicCode(BayerPattern::fromModel(data.model)));
    return writeTiff(colourTwin(path), colour, data) == 1;
}

} // namespace DarkFlat
