#include "GamepadService.h"

#include "Clock.h"
#include "DebugLog.h"
#include "GamePadThread.h"
#include "GamepadQuery.h"
#include "Goto.h"
#include "MainWindow.h"
#include "MainWindowGamepad.h"
#include "ProcessState.h"

GamepadService::GamepadService(ProcessState& processState, MainWindow& mainWindow)
    : state(processState)
    , window(mainWindow) {}

GamepadService::~GamepadService() {
    if (thread) {
        thread->requestStop();
        thread->wait();
    }
}

bool GamepadService::tryStart() {
    // An empty controller slot is slow to ask on some systems: once a polling period is enough.
    nextAskMs = Clock::nowMs() + GamePadThread::pollMs;
    if (!flags.poll(GamepadQuery::instance()).answered)
        return false;
    debugLog("joystick connect");
    thread = std::make_unique<GamePadThread>(flags);
    thread->start();
    return true;
}

void GamepadService::startIfConnected() {
    if (!tryStart())
        debugLog("joystick no connect");
}

void GamepadService::step() {
    if (!thread) {
        if (Clock::nowMs() >= nextAskMs)
            tryStart();
        return;
    }
    const GamepadEvents events = flags.take();
    mount.serve(state.mount, events);
    if (Goto* gotoWindow = window.gotoWindowOpen()) {
        const GotoPad pad = events.gotoPad();
        if (pad.any())
            gotoWindow->serveGamepad(pad);
        return;
    }
    const GamepadFront front =
        state.evfOpen || state.compositeOpen ? GamepadFront::OwnMapping : GamepadFront::MainWindow;
    window.pressButtons(MainWindowGamepad::actions(events, state.captureState, front));
}
