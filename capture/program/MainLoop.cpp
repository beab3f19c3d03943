#include "MainLoop.h"

#include <QCoreApplication>

MainLoop::MainLoop(int tickMs) {
    // The tick bounds how long a pass waits, so flags of worker threads that do not wake the
    // loop (a second of the timer, a gamepad press, a mount tick) are seen soon enough.
    tick.setInterval(tickMs);
    tick.setTimerType(Qt::PreciseTimer);
    tick.start();
}

void MainLoop::mainLoopPass(bool wait) {
    QCoreApplication::processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
    for (const Step* step :
         {&viewAndCaptureStep, &guiderStep, &focuserStep, &mountStep, &gamepadStep}) {
        if (*step)
            (*step)();
    }
}

int MainLoop::run() {
    while (!exiting)
        mainLoopPass();
    return exitStatus;
}

void MainLoop::requestExit(int status) {
    exitStatus = status;
    exiting = true;
}
