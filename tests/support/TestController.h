#pragma once

#include "GamepadQuery.h"

#include <QMutex>
#include <cstdint>

// A controller that answers only once it is plugged in, reporting what the test holds down.
class TestController : public GamepadQuery {
public:
    bool getState(int controller, GamepadState* state) override;
    void set(bool plugged, std::uint16_t buttons);

private:
    QMutex mutex;
    bool pluggedIn = false;
    GamepadState held;
};
