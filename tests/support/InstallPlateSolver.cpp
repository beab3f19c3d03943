#include "InstallPlateSolver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool installPlateSolver(const QString& driveRoot) {
    const QString built = qEnvironmentVariable("VESPERIX_BIN_DIR") + "/PlateSolver";
    if (!QFileInfo(built).isExecutable())
        return false;
    const QString folder = driveRoot + "/C/Program Files (x86)/PlateSolver";
    if (!QDir().mkpath(folder))
        return false;
    for (const char* name : {"PlateSolver", "PlateSolver.exe"}) {
        const QString link = folder + '/' + QString(name);
        QFile::remove(link);
        if (!QFile::link(QFileInfo(built).absoluteFilePath(), link))
            return false;
    }
    return true;
}
