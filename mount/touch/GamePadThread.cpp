#include "GamePadThread.h"

#include "Clock.h"
#include "Gamepad.h"
#include "GamepadQuery.h"

GamePadThread::GamePadThread(Gamepad& pad)
    : gamepad(pad) {}

void GamePadThread::run() {
    while (!stopping) {
        GamepadState state;
        if (GamepadQuery::instance().getState(0, &state))
            gamepad.latch(state);
        Clock::sleepMs(100);
    }
}
