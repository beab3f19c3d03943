// libFuzzer target: any file, however hostile, reads without a fault; whatever the reader
// accepts is a sound image that writes and reads back unchanged.
#include "DebugLog.h"
#include "HostPath.h"
#include "TiffFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

const QString path = "C:\\VesperixData\\fuzz.tif";
const QString copyPath = "C:\\VesperixData\\copy.tif";

void setUp() {
    static QTemporaryDir* drives = [] {
        auto* dir = new QTemporaryDir;
        qputenv("VESPERIX_DRIVES", dir->path().toLocal8Bit());
        QDir().mkpath(dir->path() + "/C/VesperixData");
        DebugLog::setStderrEcho(false);
        return dir;
    }();
    (void)drives;
}

bool plausible(const cv::Mat& image, int depth) {
    if (image.empty())
        return true;
    if (image.rows == 1 && image.cols == 1 && image.channels() == 1)
        return true;
    return image.depth() == (depth == 8 ? CV_8U : CV_16U) &&
           (image.channels() == 1 || image.channels() == 3) && image.rows <= 65535 &&
           image.cols <= 65535;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setUp();
    QFile file(HostPath::toHost(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();

    ShootingData shooting;
    const cv::Mat image = readTiff(path, shooting, 16);
    if (!plausible(image, 16) || shooting.model.size() > ShootingData::maxModelLength ||
        shooting.dateTime.size() != ShootingData::dateTimeLength)
        std::abort();
    ShootingData shooting8;
    if (!plausible(readTiff(path, shooting8, 8), 8))
        std::abort();

    if (image.total() > 1) {
        if (writeTiff(copyPath, image, shooting) != 1)
            std::abort();
        ShootingData again;
        const cv::Mat copy = readTiff(copyPath, again, 16);
        if (copy.size() != image.size() || copy.type() != image.type() ||
            cv::norm(copy, image, cv::NORM_INF) != 0 || again.model != shooting.model ||
            again.offset != shooting.offset ||
            again.exposureNumerator != shooting.exposureNumerator ||
            again.exposureDenominator != shooting.exposureDenominator ||
            again.capturedAt() != shooting.capturedAt())
            std::abort();
    }
    return 0;
}
