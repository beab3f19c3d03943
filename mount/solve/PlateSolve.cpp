#include "PlateSolve.h"

#include "CameraDevice.h"
#include "DebugLog.h"
#include "GotoActions.h"
#include "HostPath.h"
#include "PlateSolveFiles.h"
#include "ProcessState.h"
#include "SettingsRecord.h"
#include "UserPrompt.h"

#include <QFile>

namespace {

constexpr int watchMs = 200;
// A solver may still be writing the result when it appears.
constexpr int settleMs = 1000;

QString host(const QString& windowsPath) {
    return HostPath::toHost(windowsPath);
}

// The answers as the log has always shown them: 1 yes, 2 no.
bool askLogged(const QString& question) {
    const bool yes = UserPrompt::askYesNo(question);
    debugLog("ret=%d", yes ? 1 : 2);
    return yes;
}

} // namespace

PlateSolve::PlateSolve(ProcessState& processState, GotoActions& gotoActions, QWidget& window)
    : state(processState)
    , actions(gotoActions)
    , gotoWindow(window) {
    watch.setInterval(watchMs);
    connect(&watch, &QTimer::timeout, this, &PlateSolve::watchSolver);
}

PlateSolve::~PlateSolve() {
    closeProgress();
}

void PlateSolve::start() {
    if (inProgress())
        return;
    if (state.noCamera || !state.camera) {
        UserPrompt::showMessage(
            QStringLiteral("撮影カメラがないのでプレートソルビングできません。"));
        return;
    }
    if (!QFile::exists(host(PlateSolveFiles::solverProgram))) {
        UserPrompt::showMessage(QStringLiteral("プレートソルバーがインストールされていません。"));
        return;
    }
    if (state.camera->pixelSizeUm <= 0) {
        UserPrompt::showMessage(QStringLiteral("CMOSカメラのピクセルサイズが登録されていません。"));
        UserPrompt::showMessage(QStringLiteral("Orlentにご連絡ください。"));
        return;
    }
    // The shot would cut a series' exposure short, and lose its frame.
    if (state.captureState == 2 || state.captureState == 4) {
        debugLog("plate solve refused: a series is running");
        return;
    }
    if (state.captureState == 1 && capture.stopLiveView)
        capture.stopLiveView();
    if (!askLogged(
            QString::asprintf("撮影焦点距離%dmmです、続行しますか?", state.settings->_focal)))
        return;
    openProgress(QStringLiteral("撮影中"));
    gotoWindow.hide();
    state.solveShot = true;
    if (!capture.startShot || !capture.startShot()) {
        state.solveShot = false;
        shotFailed();
    }
}

void PlateSolve::solvePlate() {
    state.solveShot = false;
    if (solving)
        return;
    // "中断" during the shot: no solve, and the goto window comes back.
    if (!inProgress()) {
        showGotoWindow();
        return;
    }
    closeProgress();
    if (!askLogged(QStringLiteral("撮影終了、続行しますか?"))) {
        showGotoWindow();
        return;
    }
    openProgress(QStringLiteral("解析中"));
    QFile::remove(host(PlateSolveFiles::resultFile));
    QFile command(host(PlateSolveFiles::commandFile));
    if (!command.open(QIODevice::WriteOnly) ||
        command.write(PlateSolveFiles::commandLine(state.settings->_focal,
                                                   state.camera ? state.camera->pixelSizeUm : 0,
                                                   actions.scopeRa, actions.scopeDec)) < 0 ||
        !command.flush()) {
        debugLog("file open error solve");
        closeProgress();
        showGotoWindow();
        return;
    }
    command.close();
    solving = true;
    solverEnded = false;
    if (!solver.startCommandFile(PlateSolveFiles::commandFile))
        debugLog("solver did not start");
    watch.start();
}

void PlateSolve::shotFailed() {
    closeProgress();
    showGotoWindow();
}

void PlateSolve::watchSolver() {
    if (!inProgress()) {
        abort();
        return;
    }
    if (QFile::exists(host(PlateSolveFiles::resultFile))) {
        watch.stop();
        QTimer::singleShot(settleMs, this, &PlateSolve::readResult);
        return;
    }
    // One more look after the solver has gone, for a result written as it ended.
    if (solverEnded) {
        debugLog("solver ended without result");
        failed(1);
        return;
    }
    solverEnded = !solver.isRunning();
}

void PlateSolve::readResult() {
    if (!inProgress()) {
        abort();
        return;
    }
    showGotoWindow();
    QFile file(host(PlateSolveFiles::resultFile));
    if (!file.open(QIODevice::ReadOnly)) {
        debugLog("file open error solve result");
        solving = false;
        closeProgress();
        return;
    }
    const PlateSolveFiles::Result result = PlateSolveFiles::readResult(file.read(4096));
    file.close();
    if (result.failure) {
        failed(result.failure);
        return;
    }
    solving = false;
    closeProgress();
    debugLog("ra=%.2f, dec=%.2f fovW=%d fovH=%d, imageScale=%.2f imageRote=%.2f", result.ra,
             result.dec, result.fovW, result.fovH, result.imageScale, result.imageRote);
    state.imageRote = result.imageRote;
    if (capture.cameraRotation && capture.setCameraRotation) {
        const int current = capture.cameraRotation();
        const int rotation = PlateSolveFiles::cameraRotationFor(result.imageRote, current);
        if (rotation != current)
            capture.setCameraRotation(rotation);
    }
    actions.centerRa = actions.scopeRa = actions.pickedRa = state.syncPointRa = result.ra;
    actions.centerDec = actions.scopeDec = actions.pickedDec = state.syncPointDec = result.dec;
    actions.pickedValid = true;
    actions.deferSync = true;
    if (actions.redraw)
        actions.redraw();
}

void PlateSolve::failed(int number) {
    watch.stop();
    solving = false;
    closeProgress();
    showGotoWindow();
    UserPrompt::showMessage(QString("解析失敗%1").arg(number));
}

// The user closed the progress box: the solver and all it started go.
void PlateSolve::abort() {
    watch.stop();
    solving = false;
    debugLog("plate end");
    solver.endTree();
    showGotoWindow();
}

void PlateSolve::openProgress(const QString& text) {
    closeProgress();
    // Not the goto window's child: it stays up while that window is hidden for the shot.
    progress = new MessageDialog(text, QStringLiteral("中断"));
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->show();
}

void PlateSolve::closeProgress() {
    if (progress)
        delete progress.data();
}

void PlateSolve::showGotoWindow() {
    if (gotoWindow.isHidden())
        gotoWindow.show();
}
