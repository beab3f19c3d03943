#pragma once

#include <QObject>
#include <QTimer>

class E2eProgram;
class SimMountController;

// A user at the mount's port dialog: picks the simulated motor controller and presses OK, or
// cancels, whenever the dialog comes up while this lives.
class PortChoice : public QObject {
public:
    explicit PortChoice(bool choose);
    int dialogs = 0;

private:
    void answer();

    bool choose;
    QTimer poll;
};

// The observatory's simulated motor controller.
SimMountController& controller(E2eProgram& e2e);

// "接続" with the controller chosen; true once the mount is connected.
bool connectMount(E2eProgram& e2e);

// Until both axes stand and the program tracks again, then one more position update; false
// when they did not settle.
bool settleMount(E2eProgram& e2e);
