#pragma once

#include <cstdint>

// One controller state as the system's controller query gives it.
struct GamepadState {
    std::uint32_t packetNumber = 0;
    std::uint16_t buttons = 0;
    std::uint8_t leftTrigger = 0;
    std::uint8_t rightTrigger = 0;
    std::int16_t thumbLX = 0, thumbLY = 0, thumbRX = 0, thumbRY = 0;
};

// The controller-state query. This base class is the machine without a controller; the
// simulator, tests and a binding to the system's controller library install their own.
class GamepadQuery {
public:
    virtual ~GamepadQuery() = default;

    // False when the controller does not answer.
    virtual bool getState(int controller, GamepadState* state);

    static GamepadQuery& instance();
    // The caller keeps ownership; null puts back the machine without a controller.
    static void install(GamepadQuery* query);
};
