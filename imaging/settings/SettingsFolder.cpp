#include "SettingsFolder.h"

#include "DebugLog.h"
#include "HostPath.h"

#include <QDir>

namespace {
const QString folder = QStringLiteral("C:\\OrlentVesperixIni");
}

QString SettingsFolder::file(const QString& name) {
    return folder + '\\' + name;
}

void SettingsFolder::ensure() {
    const QString hostFolder = HostPath::toHost(folder);
    if (QDir(hostFolder).exists())
        return;
    debugLog("Make Dir VesperixIni");
    QDir().mkpath(hostFolder);
}
