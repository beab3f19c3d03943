#pragma once

#include <cstdint>

// One controller state as the system's controller query gives it.
struct GamepadState {
    std::uint32_t packetNumber = 0; // changes whenever anything of the state does
    std::uint16_t buttons = 0;      // GamepadButton bits
    std::uint8_t leftTrigger = 0;
    std::uint8_t rightTrigger = 0;
    std::int16_t thumbLX = 0, thumbLY = 0, thumbRX = 0, thumbRY = 0; // up and right positive
};

// The bits of the button word.
namespace GamepadButton {
constexpr std::uint16_t DpadUp = 0x0001;
constexpr std::uint16_t DpadDown = 0x0002;
constexpr std::uint16_t DpadLeft = 0x0004;
constexpr std::uint16_t DpadRight = 0x0008;
constexpr std::uint16_t Start = 0x0010;
constexpr std::uint16_t Back = 0x0020;
constexpr std::uint16_t LeftThumb = 0x0040;
constexpr std::uint16_t RightThumb = 0x0080;
constexpr std::uint16_t LeftShoulder = 0x0100;
constexpr std::uint16_t RightShoulder = 0x0200;
constexpr std::uint16_t A = 0x1000;
constexpr std::uint16_t B = 0x2000;
constexpr std::uint16_t X = 0x4000;
constexpr std::uint16_t Y = 0x8000;
} // namespace GamepadButton

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
    static bool hasInstalled();
};
