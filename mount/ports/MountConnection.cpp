#include "MountConnection.h"

#include "ComPort.h"
#include "DebugLog.h"
#include "GotoActions.h"
#include "MountControl.h"
#include "ProcessState.h"
#include "UserPrompt.h"

MountConnection::MountConnection(ProcessState& processState, ComPort& port, AuxCounter* aux)
    : state(processState)
    , comPort(port)
    , link(port, aux)
    , positionUpdate(processState.syncPointRa, processState.syncPointDec) {
    positionUpdate.positionChanged = [this] {
        if (gotoActions)
            gotoActions->followPointing();
    };
}

MountConnection::~MountConnection() {
    state.mount = nullptr;
}

bool MountConnection::askForPort() {
    comPort.fillPortList();
    comPort.exec();
    debugLog("COM Port open");
    return comPort.isPortOpen();
}

bool MountConnection::createAndInit() {
    connecting = true;
    mount = std::make_unique<MountControl>(link, *state.settings, state.syncPointRa,
                                           state.syncPointDec, state.pierSide);
    const bool ready = mount->initMount();
    connecting = false;
    if (ready) {
        state.mount = mount.get();
        return true;
    }
    mount.reset();
    comPort.closePort();
    return false;
}

bool MountConnection::connectMount() {
    if (!comPort.isPortOpen() && !askForPort()) {
        if (showLook)
            showLook(false);
        return false;
    }
    if (mount)
        return true;
    if (connecting)
        return false;
    if (!createAndInit()) {
        UserPrompt::showMessage(QStringLiteral("赤道儀との接続ができません."));
        if (showLook)
            showLook(false);
        return false;
    }
    if (showLook)
        showLook(true);
    return true;
}

void MountConnection::toggle() {
    if (connecting) {
        debugLog("Connect pressed while the mount is being connected");
        return;
    }
    if (mount) {
        disconnect();
        return;
    }
    if (!comPort.isPortOpen()) {
        debugLog("COM Port open 1");
        comPort.fillPortList();
        debugLog("COM Port open 2");
        comPort.exec();
        debugLog("COM Port open");
        if (!comPort.isPortOpen()) {
            UserPrompt::showMessage(QStringLiteral("COMポートがオープンできません."));
            return;
        }
    }
    const bool ready = createAndInit();
    if (!ready)
        UserPrompt::showMessage(QStringLiteral("赤道儀との接続ができません..."));
    if (showLook)
        showLook(ready);
}

void MountConnection::disconnect() {
    // A press that came while the mount talked waits for the end of the conversation.
    if (mount->isBusy() || link.inTransaction()) {
        disconnectPending = true;
        return;
    }
    disconnectPending = false;
    mount->stopAxis(0);
    mount->stopAxis(1);
    state.mount = nullptr;
    mount.reset();
    comPort.closePort();
    if (showLook)
        showLook(false);
}

void MountConnection::step() {
    if (disconnectPending && mount)
        disconnect();
    if (!mount)
        return;
    positionUpdate.step(*mount);
    mount->servePendingRequests();
    if (gotoActions)
        gotoActions->serveDeferred();
}
