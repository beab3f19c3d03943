#pragma once

#include "GamepadFlags.h"
#include "GamepadMount.h"

#include <cstdint>
#include <memory>

class GamePadThread;
class MainWindow;
struct ProcessState;

// The main loop's gamepad step. Until a controller answers it asks again, at most once a
// polling period ("joystick connect" once it does, then its polling thread runs). After that
// it hands out what the controller did: A, B, X, Y and the right stick to the mount while
// one is connected; the rest to the goto window while it is open, else to the main window.
class GamepadService {
public:
    GamepadService(ProcessState& state, MainWindow& window);
    ~GamepadService();

    // At start-up: asks once, logging "joystick connect" or "joystick no connect".
    void startIfConnected();
    // One pass of the main loop, or of a dialog's loop that holds it up.
    void step();

    bool running() const { return thread != nullptr; }

private:
    bool tryStart();

    ProcessState& state;
    MainWindow& window;
    GamepadFlags flags;
    GamepadMount mount;
    std::unique_ptr<GamePadThread> thread;
    std::int64_t nextAskMs = 0;
};
