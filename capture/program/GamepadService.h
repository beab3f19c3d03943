#pragma once

#include "Gamepad.h"

#include <QStringList>
#include <memory>

class GamePadThread;

// The main loop's gamepad step: until a controller answers it asks again on every pass
// ("joystick connect" once it does, then its polling thread runs); after that it hands the
// latched presses to the window in front.
class GamepadService {
public:
    GamepadService();
    ~GamepadService();

    // At start-up: asks once, logging "joystick connect" or "joystick no connect".
    void startIfConnected();
    // One pass: the actions for the main window, or none.
    QStringList step(int captureState, GamepadFront front);

    bool running() const { return thread != nullptr; }
    Gamepad& latches() { return gamepad; }

private:
    bool tryStart();

    Gamepad gamepad;
    std::unique_ptr<GamePadThread> thread;
};
