#include "ShutterControl.h"

#include "DebugLog.h"
#include "ProcessState.h"
#include "UserPrompt.h"

#include <QMutexLocker>

bool shutterAdapterReady(ShutterAdapter& adapter) {
    if (!adapter.isShutterFound())
        adapter.findShutterAdapter();
    if (adapter.isShutterFound())
        return true;
    UserPrompt::showMessage(QStringLiteral("USBシャッターアダプターがありません"));
    return false;
}

bool snapShutter(ShutterAdapter& adapter, ProcessState& state) {
    debugLog("Snap In");
    if (!shutterAdapterReady(adapter))
        return false;

    // Test and change the state in one step, so a capture thread changing it in between
    // cannot be overwritten.
    bool open;
    {
        QMutexLocker lock(&state.stateMutex);
        const int current = state.captureState.load();
        if (current == 0 || current == 3) {
            state.captureState = 2;
            open = true;
        } else if (current == 2) {
            state.captureState = 0;
            open = false;
        } else {
            return false;
        }
    }
    debugLog(open ? "Shutter Start" : "Shutter Stop");
    adapter.setShutter(open);
    return true;
}
