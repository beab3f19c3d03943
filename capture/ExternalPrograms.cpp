#include "ExternalPrograms.h"

#include "CameraDevice.h"
#include "ChildProcess.h"
#include "ProcessState.h"
#include "UserPrompt.h"

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
    if (mainWindow)
        mainWindow->show();
}
