#include "InstallStarless.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool installStarless(const QString& driveRoot) {
    const QString built = qEnvironmentVariable("VESPERIX_BIN_DIR") + "/starnet++";
    if (!QFileInfo(built).isExecutable())
        return false;
    const QString folder = driveRoot + "/C/StarNetv2CLI_Win";
    if (!QDir().mkpath(folder))
        return false;
    const QString link = folder + "/starnet++";
    QFile::remove(link);
    return QFile::link(QFileInfo(built).absoluteFilePath(), link);
}
