#include "GuiderService.h"

#include "AutoGuider.h"
#include "CameraDevice.h"
#include "CaptureHooks.h"
#include "GuideCameraOpen.h"
#include "GuideCameraReadThread.h"
#include "GuideTimerThread.h"
#include "MountConnection.h"
#include "MountControl.h"
#include "ProcessState.h"
#include "SettingsRecord.h"
#include "UserPrompt.h"
#include "UvcCapture.h"

#include <QWidget>

GuiderService::GuiderService(ProcessState& processState, MountConnection& connection)
    : state(processState)
    , mount(connection)
    , guideCamera(std::make_unique<CameraDevice>(state.stateMutex, state.appDir, *state.settings))
    , guideReader(std::make_unique<GuideCameraReadThread>(*guideCamera))
    , guideTimer(std::make_unique<GuideTimerThread>()) {
    guideReader->start();
    guideTimer->start();
}

GuiderService::~GuiderService() {
    closeWindow();
    if (state.mount && state.mount->guideTimer == guideTimer.get())
        state.mount->guideTimer = nullptr;
    guideReader->stop();
    guideTimer->stop();
    guideTimer->wait();
    // A reader blocked in a camera library that never returns is left to the process's end.
    if (!guideReader->wait(QDeadlineTimer(2000)))
        guideReader.release();
}

void GuiderService::open(QWidget* mainWindow) {
    if (guider) {
        guider->show();
        guider->raise();
        return;
    }
    if (state.captureState == 1) {
        UserPrompt::showMessage(QStringLiteral("ライブビュー中は起動できません"));
        return;
    }
    if (!mount.connectMount())
        return;
    // A video-class camera that the last window let go after a failed read is opened afresh:
    // the user was told to start the guider again.
    if (cameraOpen && guideCamera->vendor() == CameraDevice::Uvc &&
        !(guideCamera->uvc && guideCamera->uvc->isOpened()))
        cameraOpen = false;
    if (!cameraOpen) {
        GuideCameraOpen opener(*guideCamera, *state.settings, state.appDir);
        GuideCameraOpen::MainCamera main;
        main.camera = state.noCamera ? nullptr : state.camera;
        main.digitalCameraMode = state.digitalCameraMode;
        main.noCamera = state.noCamera;
        if (!opener.open(main, mainWindow))
            return;
        cameraOpen = true;
    } else {
        // Opened before: only its video stopped with the last window.
        guideCamera->setGain(state.settings->ggain);
        guideCamera->setExposureIndex(state.settings->gexposure);
        guideCamera->startVideo();
    }
    state.mount->guideTimer = guideTimer.get();
    guider = new AutoGuider(state, *guideCamera, *guideReader, *guideTimer);
    guider->move(mainWindow->pos() + QPoint(380, 32));
    guideReader->activate(GuideCameraOpen::imageWidth, GuideCameraOpen::imageHeight);
    guider->show();
}

void GuiderService::step() {
    if (!guider)
        return;
    // A mount connected again since the window opened gets the pulse timer too.
    if (state.mount)
        state.mount->guideTimer = guideTimer.get();
    guider->processGuideFrame();
    if (guider->closeRequested())
        closeWindow();
}

void GuiderService::closeWindow() {
    if (!guider)
        return;
    if (state.mount)
        state.mount->guiding = false;
    guideReader->deactivate();
    guideCamera->stopVideo();
    delete guider;
    guider = nullptr;
}

void GuiderService::installHooks(CaptureHooks& hooks) {
    hooks.autoguiderOpen = [this] { return guider != nullptr; };
    hooks.isGuiderBusy = [this] { return guider && guider->isGuiderBusy(); };
    hooks.startDither = [this] {
        if (guider)
            guider->startDither();
    };
}
