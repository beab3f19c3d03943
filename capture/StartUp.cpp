#include "StartUp.h"

#include "DebugLog.h"
#include "PhotoHistory.h"
#include "SettingsFile.h"
#include "SettingsFolder.h"
#include "SettingsRecord.h"

void loadStartUpSettings(SettingsRecord& settings, PhotoHistory& photoHistory) {
    settings.setDefaults();
    ensureSettingsPath(settings);
    DebugLog::openFile(SettingsFolder::file("Vesperix.log"));
    loadSettings(settings);
    photoHistory.load();
}
