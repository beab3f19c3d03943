#include "StartUp.h"

#include "CameraDevice.h"
#include "CameraEntryList.h"
#include "CameraEnumeration.h"
#include "CameraList.h"
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

bool chooseAndOpenCamera(CameraDevice& camera, bool digitalCameraMode, const QString& appDir,
                         QWidget* parent) {
    CameraEntryList entries;
    enumeratePlayerOne(entries, -1);
    enumerateAsi(entries, -1);
    enumerateSvbony(entries, -1);
    if (digitalCameraMode)
        enumerateUvc(entries, -1, appDir);
    const bool noCamera = entries.count() == 0;
    // DSLRs are listed but cannot be opened, so they do not count as a camera.
    enumerateCanon(entries, -1);
    if (noCamera)
        return false;

    CameraEntry chosen;
    CameraList dialog(entries, parent);
    dialog.showList(&chosen);
    if (entries.count() < 2) {
        dialog.takeFirst();
    } else if (dialog.exec() != QDialog::Accepted) {
        // Closed with Esc or from the title bar: no camera, as when none is connected.
        debugLog("No camera chosen");
        return false;
    }
    debugLog("cameraName=%s", chosen.name.toUtf8().constData());
    // The libraries number their cameras as they list them (SVBONY from 1), so the entry's
    // ID is also the index each open takes.
    switch (chosen.vendor) {
    case CameraDevice::PlayerOne:
        camera.openPlayerOne(chosen.cameraId);
        break;
    case CameraDevice::Asi:
        camera.openAsi(chosen.cameraId);
        break;
    case CameraDevice::Svbony:
        camera.openSvbony(chosen.cameraId);
        break;
    case CameraDevice::Uvc:
        camera.openUvc(chosen.cameraId);
        break;
    }
    // A listed DSLR opens nothing, and a camera may fail to open: either way there is no
    // camera to take frames with.
    if (camera.width <= 0 || camera.height <= 0) {
        debugLog("No camera opened");
        return false;
    }
    return true;
}

bool opensFullScreen(QSize desktop) {
    return desktop.width() < 1281 || desktop.height() < 801;
}
