#pragma once

#include "ChildProcess.h"
#include "MessageDialog.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class GotoActions;
class QWidget;
struct ProcessState;

// Plate solving from the goto window: one shot of the imaging camera, the solver run on it
// without holding up the program, and the solved place made the telescope's position, the
// chart's centre and, through the deferred sync, the mount's new base. The progress box is the
// one token of a solve: while it is up, another press does nothing, and closing it ("中断")
// ends the solver and everything it started.
class PlateSolve : public QObject {
    Q_OBJECT
public:
    PlateSolve(ProcessState& state, GotoActions& actions, QWidget& gotoWindow);
    ~PlateSolve() override;

    // What the capture side does for a solve; set by whoever opens the goto window.
    struct Capture {
        std::function<void()> stopLiveView;
        std::function<bool()> startShot; // false when the exposure did not start
        // The camera's quarter turns on the sky, as the view turns the picture.
        std::function<int()> cameraRotation;
        std::function<void(int)> setCameraRotation;
    };
    Capture capture;

    // "プレートソルビング".
    void start();
    // The shot has been saved as solve.jpg.
    void solvePlate();
    // The shot failed: the progress box goes and the goto window comes back.
    void shotFailed();

    bool inProgress() const { return progress && progress->isVisible(); }

private:
    void openProgress(const QString& text);
    void closeProgress();
    void watchSolver();
    void readResult();
    void failed(int number);
    void abort();
    void showGotoWindow();

    ProcessState& state;
    GotoActions& actions;
    QWidget& gotoWindow;
    QPointer<MessageDialog> progress;
    bool solving = false;
    ChildProcess solver;
    QTimer watch;
    bool solverEnded = false;
};
