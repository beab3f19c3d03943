#pragma once

#include "MountLink.h"
#include "PositionUpdate.h"

#include <functional>
#include <memory>

class ComPort;
class GotoActions;
class MountControl;
struct ProcessState;

// Connects and disconnects the mount: the port dialog when no port is open, then one
// MountControl initialised on it, which the process-wide pointer shows while it lives.
class MountConnection {
public:
    // `aux` is the one-second timer's counter for the transaction's timeout.
    MountConnection(ProcessState& state, ComPort& port, AuxCounter* aux);
    ~MountConnection();

    // For the windows that need the mount (goto, autoguider, motor dialog): true when a mount
    // is connected and initialised, after asking for the port when none is open.
    bool connectMount();
    // The main window's "接続" button: connects, or disconnects a connected mount.
    void toggle();
    // The main loop's step: a disconnection pressed while the mount talked, the position
    // update on the goto timer's tick, the mount's kept requests, then the goto window's.
    void step();

    PositionUpdate& positions() { return positionUpdate; }
    // The open goto window's actions, or null.
    void setGotoActions(GotoActions* actions) { gotoActions = actions; }

    // The button's look: connected or not.
    std::function<void(bool connected)> showLook;

private:
    bool askForPort();
    bool createAndInit();
    void disconnect();

    ProcessState& state;
    ComPort& comPort;
    MountLink link;
    PositionUpdate positionUpdate;
    GotoActions* gotoActions = nullptr;
    std::unique_ptr<MountControl> mount;
    bool connecting = false;
    bool disconnectPending = false;
};
