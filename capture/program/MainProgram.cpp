#include "MainProgram.h"

#include "CameraDevice.h"
#include "CameraLabel.h"
#include "CameraReadThread.h"
#include "ChartSky.h"
#include "ComPort.h"
#include "CompositeService.h"
#include "DataFolder.h"
#include "DebugLog.h"
#include "DeviceBindings.h"
#include "DigicameSetDialog.h"
#include "FileWriteThread.h"
#include "FilterWheel.h"
#include "FocuserService.h"
#include "GamepadService.h"
#include "Goto.h"
#include "GuiderService.h"
#include "HostPath.h"
#include "ImageDisplay.h"
#include "LauncherApps.h"
#include "LiveChartOverlay.h"
#include "MainWindow.h"
#include "Make3D.h"
#include "MountConnection.h"
#include "PhotoHistory.h"
#include "PlateSolve.h"
#include "ProcessState.h"
#include "ProgramArguments.h"
#include "SettingsRecord.h"
#include "SimObservatory.h"
#include "StarCatalog.h"
#include "StartUp.h"
#include "SvbonyExpReadThread.h"
#include "TimerThread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScreen>

namespace {
// How long leaving the program waits for a worker blocked in a camera library.
constexpr int threadJoinMs = 3000;
} // namespace

MainProgram::MainProgram()
    : processState(::processState()) {}

MainProgram::~MainProgram() {
    if (digicamDialog)
        digicamDialog->close(); // before its shutter port goes with the main window
    stopThreads();
    guiderService.reset();    // it ends its pulses on the mount
    compositeService.reset(); // its window is the main window's child
    stereo.reset();           // so are its dialog and box
    mountConnection.reset();  // its port is the window's child
    delete mainWindow;
}

void MainProgram::drawChartOverlay(cv::Mat& canvas, const ImageDisplay::LivePicture& picture) {
    const ProcessState& state = processState;
    if (!state.camera)
        return;
    LiveChartOverlay::Picture live;
    live.onCanvas = picture.onCanvas;
    live.scale = picture.scale;
    live.frameWidth = picture.frameSize.width;
    live.sensorWidth = state.camera->width;
    live.pixelSizeUm = state.camera->pixelSizeUm;
    live.focalMm = state.settings->_focal;
    live.displayRotation = imageDisplay->view().displayRotation;
    chartOverlay->draw(canvas, live, state.syncPointRa, state.syncPointDec);
}

void MainProgram::openDigicamSettings() {
    if (!digicamDialog) {
        digicamDialog = new DigicameSetDialog(
            processState, *processState.shutterComPort,
            [this] { return mainWindow->gotoWindowOpen(); }, mainWindow);
        // Over the settings on the right, clear of the live view.
        digicamDialog->move(mainWindow->pos() + QPoint(740, 40));
    }
    digicamDialog->showSettings();
}

void MainProgram::connectGotoWindow() {
    mainWindow->digicamAction = [this] { openDigicamSettings(); };
    mainWindow->gotoOpened = [this](Goto& window) {
        window.digicamAction = [this] { openDigicamSettings(); };
        // The showpiece list's own loop holds up the main loop: the controller is served there.
        window.gamepadPass = [this] { gamepad->step(); };
        PlateSolve::Capture& capture = window.plateSolve().capture;
        capture.stopLiveView = [this] {
            if (processState.captureState == 1)
                captureLoop->toggleLiveView();
        };
        capture.startShot = [this] { return captureLoop->startSolveShot(); };
        capture.cameraRotation = [this] { return imageDisplay->view().cameraRotation; };
        capture.setCameraRotation = [this](int turns) {
            imageDisplay->view().cameraRotation = turns;
            if (const CameraDevice* camera = processState.camera)
                imageDisplay->setDisplayGeometry(camera->width, camera->height);
            captureLoop->updateFieldOfView();
        };
    };
    captureLoop->hooks.startPlateSolve = [this] {
        if (Goto* window = mainWindow->gotoWindowOpen())
            window->plateSolve().solvePlate();
        else
            processState.solveShot = false;
    };
    captureLoop->hooks.closeSolveProgress = [this] {
        if (Goto* window = mainWindow->gotoWindowOpen())
            window->plateSolve().shotFailed();
    };
}

void MainProgram::start(const QStringList& arguments) {
    ProcessState& state = processState;
    const ProgramArguments parsed = ProgramArguments::parse(arguments);
    state.exePath = parsed.exePath;
    state.digitalCameraMode = parsed.digitalCameraMode;
    state.appDir = parsed.appDir();

    // Process-wide and never freed: worker threads may read them until the process ends.
    state.settings = new SettingsRecord;
    state.photoHistory = new PhotoHistory;
    loadStartUpSettings(*state.settings, *state.photoHistory);
    state.launcherApps = LauncherApps::read();

    const QSize desktop = QGuiApplication::primaryScreen()->size();
    debugLog("width=%d, height=%d", desktop.width(), desktop.height());
    mainWindow = new MainWindow(state);
    if (opensFullScreen(desktop))
        mainWindow->showFullScreen();
    else
        mainWindow->show();

    state.syncPointRa = state.settings->raBaseDegrees();
    state.syncPointDec = state.settings->decBaseDegrees();
    debugLog("syncPointRa = %f syncPointDec = %f", state.syncPointRa, state.syncPointDec);
    state.catalog = new StarCatalog(loadCatalogs(state.appDir));
    state.chartSky = new ChartSky(*state.catalog);

    if (SimObservatory::enabled()) {
        observatory = std::make_unique<SimObservatory>(state.appDir, SimCameraModel::connected());
        observatory->installShutterAdapter();
        observatory->installMountController();
        observatory->installGamepad();
    }
    state.mountComPort = new ComPort(mainWindow);
    state.shutterComPort = new ComPort(mainWindow);
    state.shutterComPort->findShutterAdapter();

    if (observatory) {
        observatory->installCameraLibraries();
        observatory->installAccessoryLibraries();
    } else {
        DeviceBindings::installCameraLibraries();
        DeviceBindings::installAccessoryLibraries();
    }
    wheel = std::make_unique<FilterWheel>();
    mainWindow->attachFilterWheel(*wheel);
    wheel->initFilterWheel();
    CameraDevice* camera = new CameraDevice(state.stateMutex, state.appDir, *state.settings);
    state.camera = camera;
    state.noCamera =
        !chooseAndOpenCamera(*camera, state.digitalCameraMode, state.appDir, mainWindow);
    imageDisplay = std::make_unique<ImageDisplay>(state);
    chartOverlay =
        std::make_unique<LiveChartOverlay>(*state.chartSky, *state.settings, state.photoHistory);
    imageDisplay->chartOverlay = [this](cv::Mat& canvas, const ImageDisplay::LivePicture& picture) {
        drawChartOverlay(canvas, picture);
    };
    mainWindow->showCoolingPanel(!state.noCamera && camera->hasCooler);
    if (!state.noCamera) {
        mainWindow->showPixelSize(camera->pixelSizeUm);
        imageDisplay->setDisplayGeometry(camera->width, camera->height);
    }

    startThreads();
    mainWindow->setCameraLabel(cameraLabelText(*camera, state.noCamera));

    folder = std::make_unique<DataFolder>(*state.settings);
    writer = std::make_unique<FileWriteThread>(*folder);
    CaptureLoop::Devices devices;
    devices.camera = state.noCamera ? nullptr : camera;
    devices.reader = reader.get();
    devices.svbonyReader = svbonyReader.get();
    devices.timer = timerThread.get();
    devices.writer = writer.get();
    devices.shutter = state.shutterComPort;
    captureLoop =
        std::make_unique<CaptureLoop>(state, devices, *imageDisplay, *folder, *mainWindow);
    mainWindow->attach(*captureLoop, *imageDisplay, *folder, *timerThread);
    mountConnection =
        std::make_unique<MountConnection>(state, *state.mountComPort, timerThread.get());
    mainWindow->attachMount(*mountConnection);
    guiderService = std::make_unique<GuiderService>(state, *mountConnection);
    guiderService->installHooks(captureLoop->hooks);
    mainWindow->guiderAction = [this] { guiderService->open(mainWindow); };
    focuserService = std::make_unique<FocuserService>(*state.settings, mainLoop);
    mainWindow->focuserAction = [this] { focuserService->open(mainWindow); };
    compositeService = std::make_unique<CompositeService>(state, *folder, *mainWindow);
    compositeService->installHooks(captureLoop->hooks);
    captureLoop->hooks.filterPosition = [this] { return wheel->namePosition(); };
    mainWindow->compositeAction = [this] { compositeService->open(); };
    mainWindow->compositeAddAction = [this] { compositeService->add(); };
    stereo = std::make_unique<Make3D>(*state.settings, *folder, state.appDir, *mainWindow);
    stereo->listed = [this] {
        if (processState.captureState == 3)
            mainWindow->showCurrentFile();
    };
    mainWindow->make3dAction = [this] {
        stereo->start(folder->currentPath(), imageDisplay->view().displayRotation);
    };
    connectGotoWindow();
    mainWindow->scanDrives();
    folder->scanDataFolder();
    mainWindow->hideControlsWithoutCamera();

    gamepad = std::make_unique<GamepadService>(state, *mainWindow);
    gamepad->startIfConnected();

    mainLoop.viewAndCaptureStep = [this] { viewAndCaptureStep(); };
    mainLoop.guiderStep = [this] { guiderService->step(); };
    mainLoop.mountStep = [this] { mountConnection->step(); };
    mainLoop.gamepadStep = [this] { gamepad->step(); };
    mainWindow->exitAction = [this] { mainLoop.requestExit(0); };
}

void MainProgram::startThreads() {
    ProcessState& state = processState;
    CameraDevice* camera = state.camera;
    if (!state.noCamera) {
        reader = std::make_unique<CameraReadThread>(state, *camera);
        reader->allocate(camera->width, camera->height);
        reader->start(QThread::HighestPriority);
        if (camera->vendor() == CameraDevice::Svbony) {
            svbonyReader = std::make_unique<SvbonyExpReadThread>(*camera);
            svbonyReader->start(QThread::HighestPriority);
        }
    }
    timerThread = std::make_unique<TimerThread>(
        state, !state.noCamera && camera->hasCooler ? camera : nullptr);
    timerThread->start();
}

void MainProgram::viewAndCaptureStep() {
    ProcessState& state = processState;
    if (state.noCamera && state.captureState != 3 && !state.digitalCameraMode)
        return;
    const int captureState = state.captureState;
    if (imageDisplay->applyViewRequests() &&
        (captureState == 2 || captureState == 3 || captureState == 4))
        imageDisplay->redraw();
    captureLoop->step();
}

long MainProgram::liveFramesRead() const {
    return reader ? reader->framesRead() : 0;
}

int MainProgram::run() {
    return mainLoop.run();
}

void MainProgram::stopThreads() {
    // A thread blocked in a camera library that never returns is left to the process's end.
    const auto join = [](QThread* thread) {
        if (thread)
            thread->wait(QDeadlineTimer(threadJoinMs));
    };
    if (reader)
        reader->stop();
    if (svbonyReader)
        svbonyReader->stop();
    if (timerThread)
        timerThread->stop();
    join(reader.get());
    join(svbonyReader.get());
    join(timerThread.get());
    join(writer.get());
    if (reader && reader->isRunning())
        reader.release();
    if (svbonyReader && svbonyReader->isRunning())
        svbonyReader.release();
}
