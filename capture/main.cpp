// The main program: start-up in its fixed order, then the endless main loop.
#include "CameraDevice.h"
#include "CameraLabel.h"
#include "ComPort.h"
#include "DebugLog.h"
#include "GamepadService.h"
#include "HostPath.h"
#include "LauncherApps.h"
#include "MainLoop.h"
#include "MainWindow.h"
#include "MessageDialog.h"
#include "PhotoHistory.h"
#include "ProcessState.h"
#include "ProgramArguments.h"
#include "SettingsRecord.h"
#include "SimObservatory.h"
#include "StarCatalog.h"
#include "StartUp.h"
#include "Translation.h"
#include "UserPrompt.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    installTranslation(app);
    UserPrompt::setMessageHandler(showMessage);
    UserPrompt::setQuestionHandler([](const QString& question) {
        int answer = 0;
        yesNoDialog(question, &answer);
        return answer == 1;
    });

    ProcessState& state = processState();
    QStringList arguments = app.arguments();
    arguments[0] = HostPath::fromHost(QCoreApplication::applicationFilePath());
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
    auto* window = new MainWindow(state);
    if (opensFullScreen(desktop))
        window->showFullScreen();
    else
        window->show();

    state.syncPointRa = state.settings->raBaseDegrees();
    state.syncPointDec = state.settings->decBaseDegrees();
    debugLog("syncPointRa = %f syncPointDec = %f", state.syncPointRa, state.syncPointDec);
    state.catalog = new StarCatalog(loadCatalogs(state.appDir));

    SimObservatory* sim = nullptr;
    if (SimObservatory::enabled()) {
        sim = new SimObservatory(state.appDir, SimCameraModel::connected());
        sim->installShutterAdapter();
    }
    state.mountComPort = new ComPort(window);
    state.shutterComPort = new ComPort(window);
    state.shutterComPort->findShutterAdapter();

    if (sim)
        sim->installCameraLibraries();
    state.camera = new CameraDevice(state.stateMutex, state.appDir, *state.settings);
    state.noCamera =
        !chooseAndOpenCamera(*state.camera, state.digitalCameraMode, state.appDir, window);
    window->showCoolingPanel(!state.noCamera && state.camera->hasCooler);
    window->setCameraLabel(cameraLabelText(*state.camera, state.noCamera));
    window->hideControlsWithoutCamera();

    GamepadService gamepad;
    gamepad.startIfConnected();

    MainLoop loop;
    // The goto, composite and full-screen windows will take the gamepad when they are open.
    loop.gamepadStep = [&] { window->pressButtons(gamepad.step(state.captureState, false)); };
    window->exitAction = [&loop] { loop.requestExit(0); };
    return loop.run();
}
