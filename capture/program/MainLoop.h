#pragma once

#include <QTimer>
#include <functional>

// The main program's own endless loop on the UI thread. One pass processes the pending Qt
// events once, then runs the work of each part in a fixed order. Between passes it sleeps
// until an event arrives or the tick timer fires, so an idle program does not spin.
class MainLoop {
public:
    using Step = std::function<void()>;

    // The work of one pass, in this order; a step not set yet is skipped.
    Step viewAndCaptureStep; // pan/zoom requests and the capture state machine
    Step guiderStep;         // the autoguider's per-frame step, while its window exists
    Step focuserStep;        // the focuser dialog's periodic step
    Step mountStep;          // the mount position bookkeeping
    Step gamepadStep;        // start the gamepad thread, or dispatch its latched buttons

    explicit MainLoop(int tickMs = 20);

    // One pass. With `wait` it first sleeps until there is an event (at most one tick).
    void mainLoopPass(bool wait = true);

    // Passes until requestExit(); returns the exit status.
    int run();
    void requestExit(int status = 0);
    bool exitRequested() const { return exiting; }

private:
    QTimer tick;
    bool exiting = false;
    int exitStatus = 0;
};
