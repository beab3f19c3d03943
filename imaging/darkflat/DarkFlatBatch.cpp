#include "DarkFlatBatch.h"

#include "DarkFlat.h"
#include "DebugLog.h"
#include "FileTimes.h"
#include "HostPath.h"
#include "SettingsRecord.h"
#include "ShootingData.h"
#include "TiffFile.h"
#include "UserPrompt.h"

#include <QFileInfo>
#include <cstdlib>
#include <opencv2/imgproc.hpp>

struct DarkFlatBatch::Masters {
    cv::Mat dark;
    cv::Mat flat;
};

namespace {

constexpr qint64 dayInSeconds = 86400;

QString fileNameOf(const QString& windowsPath) {
    return windowsPath.mid(windowsPath.lastIndexOf('\\') + 1);
}

} // namespace

DarkFlatBatch::DarkFlatBatch(const SettingsRecord& settingsRecord)
    : settings(settingsRecord)
    , masters(std::make_shared<Masters>()) {}

bool DarkFlatBatch::prepare() {
    useDark = settings.totalDark == 1;
    useFlat = settings.totalFlat == 1;
    const QString folder = DarkFlat::dataFolder(settings);
    if (useDark) {
        const QString path = folder + settings.preDark;
        if (settings.preDark.isEmpty() || !QFileInfo(HostPath::toHost(path)).isFile()) {
            UserPrompt::showMessage(QStringLiteral("ダークファイルが存在しません"));
            return false;
        }
        ShootingData data;
        masters->dark = readTiff(path, data, 16);
        width = masters->dark.cols;
        height = masters->dark.rows;
        darkGain = data.gain;
        darkExposure = data.exposureNumerator;
    }
    if (useFlat) {
        const QString path = folder + settings.preFlat;
        if (settings.preFlat.isEmpty() || !QFileInfo(HostPath::toHost(path)).isFile()) {
            UserPrompt::showMessage(QStringLiteral("フラットファイルが存在しません"));
            return false;
        }
        ShootingData data;
        masters->flat = readTiff(path, data, 16);
        if (useDark && masters->flat.size() != masters->dark.size()) {
            UserPrompt::showMessage(
                QStringLiteral("ダークファイルとフラットファイルでサイズが異なります."));
            return false;
        }
        width = masters->flat.cols;
        height = masters->flat.rows;
    }
    return useDark || useFlat;
}

void DarkFlatBatch::run(const QStringList& files, const BeforeFile& beforeFile) {
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < files.size(); ++i) {
        const QString& path = files.at(i);
        if (!beforeFile(i, fileNameOf(path)))
            return;
        if (settings.dfIn24h == 1) {
            const QDateTime created = FileTimes::creationTime(HostPath::toHost(path));
            if (!created.isValid() || created.secsTo(now) >= dayInSeconds)
                continue;
        }
        process(path);
    }
}

void DarkFlatBatch::process(const QString& path) {
    if (!fileNameOf(path).startsWith('M') || path.contains('+'))
        return;
    ShootingData data;
    cv::Mat raw = readTiff(path, data, 16);
    const QByteArray name = path.toUtf8();
    debugLog("%s", name.constData());
    if (raw.cols != width || raw.rows != height || raw.channels() != 1) {
        debugLog("%s 解像度が異なります.", name.constData());
        return;
    }
    if (data.correctionFlags & 2) {
        debugLog("%s 既にフラット済み", name.constData());
        return;
    }
    bool dark = useDark;
    if (dark && (data.correctionFlags & 1)) {
        debugLog("%s 既にダーク減算済み.", name.constData());
        if (!useFlat)
            return;
        dark = false;
    }
    if (dark) {
        if (settings.tdarkOpt1 != 1 && data.gain != darkGain) {
            debugLog("%s ゲインが違う.", name.constData());
            return;
        }
        if (settings.tdarkOpt2 != 1 && std::abs(data.exposureNumerator - darkExposure) > 1) {
            debugLog("%s 露出が違う.", name.constData());
            return;
        }
    }
    if (!dark && !useFlat)
        return;
    debugLog("%s ダーク/フラット実行.", name.constData());
    const int mode = dark && useFlat ? DarkFlat::DarkAndFlat
                     : dark          ? DarkFlat::DarkOnly
                                     : DarkFlat::FlatOnly;
    const bool isColor = data.model.startsWith('C');
    if (!DarkFlat::correctFrame(raw, masters->dark, masters->flat, isColor, mode, data.offset))
        return;
    data.correctionFlags |= (dark ? 1 : 0) | (useFlat ? 2 : 0);
    DarkFlat::saveCorrected(path, raw, data);
}
