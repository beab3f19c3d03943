#include "StarlessRun.h"

#include "DebugLog.h"
#include "HostPath.h"

#include <QFile>
#include <QFileInfo>
#include <opencv2/imgcodecs.hpp>

const QString StarlessRun::folder = QStringLiteral("C:\\StarNetv2CLI_Win\\");
const QString StarlessRun::program = QStringLiteral("C:\\StarNetv2CLI_Win\\starnet++.exe");
const QString StarlessRun::commandFile = QStringLiteral("C:\\StarNetv2CLI_Win\\make3d.bat");
const QString StarlessRun::original = QStringLiteral("C:\\StarNetv2CLI_Win\\make3dfile_org.tif");
const QString StarlessRun::starless = QStringLiteral("C:\\StarNetv2CLI_Win\\make3dfile_bak.tif");

namespace {

QString host(const QString& windowsPath) {
    return HostPath::toHost(windowsPath);
}

// Gone or never there.
bool removed(const QString& windowsPath) {
    const QString path = host(windowsPath);
    return !QFileInfo::exists(path) || QFile::remove(path);
}

bool writePicture(const cv::Mat& picture) {
    try {
        return cv::imwrite(host(StarlessRun::original).toStdString(), picture) &&
               QFileInfo(host(StarlessRun::original)).isFile();
    } catch (const cv::Exception&) {
        return false;
    }
}

bool writeCommandFile() {
    const QByteArray lines = ChildProcess::folderCommandFile(
        StarlessRun::folder, StarlessRun::program, {StarlessRun::original, StarlessRun::starless});
    QFile file(host(StarlessRun::commandFile));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(lines) == lines.size() && file.flush();
}

} // namespace

bool StarlessRun::installed() {
    return ChildProcess::programExists(program);
}

bool StarlessRun::prepare(const cv::Mat& picture) {
    if (!removed(original) || !removed(starless) || !writePicture(picture) || !writeCommandFile()) {
        debugLog("file open error make3d");
        return false;
    }
    return true;
}

// One that does not start has ended at once, without a starless picture.
void StarlessRun::start() {
    if (!process.startCommandFile(commandFile))
        debugLog("starnet++ did not start");
}

bool StarlessRun::running() {
    return process.isRunning();
}

void StarlessRun::abort() {
    process.endTree();
}

cv::Mat StarlessRun::result(cv::Size size) {
    cv::Mat picture;
    try {
        picture = cv::imread(host(starless).toStdString(), cv::IMREAD_COLOR);
    } catch (const cv::Exception&) {
        picture.release();
    }
    if (picture.empty() || picture.size() != size) {
        debugLog("bak-file read error");
        return cv::Mat();
    }
    return picture;
}
