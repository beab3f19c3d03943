#include "ExternalPrograms.h"

#include "CameraDevice.h"
#include "ChildProcess.h"
#include "HostPath.h"
#include "ProcessState.h"
#include "SettingsFile.h"
#include "UserPrompt.h"

#include <QFileInfo>
#include <QWidget>

void startAxilo(ProcessState& state, QWidget* mainWindow) {
    if (state.digitalCameraMode && state.camera && state.camera->vendor() == CameraDevice::Uvc &&
        state.camera->uvc) {
        state.camera->uvc->open(state.camera->cameraId);
        state.camera->uvc->release();
    }
    const QString program = state.exePath.left(state.exePath.lastIndexOf('\\')) + "\\Axilo.exe";
    if (mainWindow)
        mainWindow->hide();
    if (ChildProcess::runAndWait(program, {'"' + program + '"'}) < 0)
        UserPrompt::showMessage(QStringLiteral("spawnlエラー2"));
    else if (state.settings)
        loadObservingSite(*state.settings); // the user may have set another site there
    if (mainWindow)
        mainWindow->show();
}

void startStellaImage(const ProcessState& state, const QString& imagePath) {
    QString image = imagePath;
    const int lastM = imagePath.lastIndexOf('M');
    if (lastM >= 0) {
        QString colourTwin = imagePath;
        colourTwin[lastM] = 'C';
        if (QFileInfo::exists(HostPath::toHost(colourTwin)))
            image = colourTwin;
    }
    const QString program = state.launcherApps.stellaImagePath;
    if (ChildProcess::runAndWait(program, {HostPath::toHost(image)}) < 0)
        UserPrompt::showMessage(QStringLiteral("spawnlエラー3"));
}
