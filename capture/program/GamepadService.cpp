#include "GamepadService.h"

#include "DebugLog.h"
#include "GamePadThread.h"
#include "GamepadQuery.h"

GamepadService::GamepadService() = default;

GamepadService::~GamepadService() {
    if (thread) {
        thread->requestStop();
        thread->wait();
    }
}

bool GamepadService::tryStart() {
    GamepadState state;
    if (!GamepadQuery::instance().getState(0, &state))
        return false;
    debugLog("joystick connect");
    thread = std::make_unique<GamePadThread>(gamepad);
    thread->start();
    return true;
}

void GamepadService::startIfConnected() {
    if (!tryStart())
        debugLog("joystick no connect");
}

QStringList GamepadService::step(int captureState, GamepadFront front) {
    if (!thread) {
        tryStart();
        return {};
    }
    return gamepad.takeActions(captureState, front);
}
