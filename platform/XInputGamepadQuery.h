#pragma once

#include "GamepadQuery.h"

// The controller query on Windows: XInput 1.4's XInputGetState, imported by its ordinal 2.
// Without the library no controller answers.
class XInputGamepadQuery : public GamepadQuery {
public:
    XInputGamepadQuery();
    bool getState(int controller, GamepadState* state) override;

private:
    void* getStateFunction = nullptr;
};
