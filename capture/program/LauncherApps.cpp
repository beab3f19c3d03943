#include "LauncherApps.h"

#include "DebugLog.h"
#include "HostPath.h"
#include "KeyValueText.h"
#include "LocalText.h"
#include "SettingsFolder.h"

#include <QFile>

LauncherApps LauncherApps::read() {
    LauncherApps apps;
    QFile file(HostPath::toHost(SettingsFolder::file("OrlentLaunch.ini")));
    if (!file.open(QIODevice::ReadOnly)) {
        debugLog("iniFile open error");
        return apps;
    }
    static const char* const keys[] = {"appName1", "appName2", "appName3", "appName4"};
    QByteArray line;
    while (KeyValueText::readLine(file, &line)) {
        for (int slot = 0; slot < 4; ++slot) {
            if (line.startsWith(keys[slot]))
                apps.commandLines[slot] = LocalText::decode(KeyValueText::textAfter(line, 8));
        }
    }
    for (const QString& commandLine : apps.commandLines) {
        if (commandLine.contains("stlimg")) {
            apps.hasStellaImage = true;
            apps.stellaImagePath = commandLine;
            debugLog("Find StellaImage");
            break;
        }
    }
    return apps;
}
