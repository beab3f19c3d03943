#include "TestController.h"

bool TestController::getState(int controller, GamepadState* state) {
    QMutexLocker lock(&mutex);
    if (!pluggedIn || controller != 0)
        return false;
    *state = held;
    return true;
}

void TestController::set(bool plugged, std::uint16_t buttons) {
    QMutexLocker lock(&mutex);
    pluggedIn = plugged;
    held.buttons = buttons;
    ++held.packetNumber;
}
