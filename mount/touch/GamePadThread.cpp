#include "GamePadThread.h"

#include "Clock.h"
#include "GamepadFlags.h"
#include "GamepadQuery.h"
#include "MainLoopWake.h"

GamePadThread::GamePadThread(GamepadFlags& latch)
    : flags(latch) {}

void GamePadThread::run() {
    while (!stopping) {
        if (flags.poll(GamepadQuery::instance()).news)
            wakeMainLoop();
        Clock::sleepMs(pollMs);
    }
}
