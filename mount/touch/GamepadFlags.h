#pragma once

#include "GamepadQuery.h"
#include "GotoPad.h"

#include <QMutex>
#include <array>
#include <cstdint>

// What the controller did since the main loop last looked.
struct GamepadEvents {
    enum Stick { RightX, RightY, LeftX, LeftY };
    enum Trigger { LeftTrigger, RightTrigger };

    std::uint16_t held = 0;    // the button word now
    std::uint16_t pressed = 0; // buttons that went down
    // B or X went down first (xOn) / both are up again (xOff); A or Y likewise (yOn, yOff).
    bool xOn = false, xOff = false, yOn = false, yOff = false;
    // Codes: 1 right, 3 left, 5 up, 7 down, 0 about the centre.
    std::array<int, 4> stick{};
    std::array<bool, 4> stickChanged{};
    std::array<bool, 2> triggerPressed{}; // went past the threshold
    // Polls with the left stick pushed: right minus left, down minus up.
    int leftStickPollsX = 0, leftStickPollsY = 0;

    // The goto window's share: the D-pad, the thumbs, the shoulders and the left stick.
    GotoPad gotoPad() const;
};

// The controller's answers as the main loop needs them: the polling thread latches each new
// packet here, the main loop takes what has gathered, both under the one mutex. A controller
// that stops answering lets go of everything it held, so nothing it started runs on.
class GamepadFlags {
public:
    static constexpr int stickThreshold = 20000;
    static constexpr int triggerThreshold = 200;

    struct Poll {
        bool answered = false;
        bool news = false; // the main loop has something new to do
    };
    // Asks controller 0 and latches its answer under the lock, so whoever has seen the
    // controller answer finds the answer latched.
    Poll poll(GamepadQuery& query);
    // One answer, or none (`answered` false); true when the main loop has something new.
    bool latch(bool answered, const GamepadState& state);
    // What has gathered since the last call; clears it.
    GamepadEvents take();

    // Stick codes of an axis: horizontal 1 / 3, vertical 5 / 7, past the threshold.
    static int horizontalCode(int axis);
    static int verticalCode(int axis);

private:
    bool latchLocked(bool answered, const GamepadState& state);
    bool apply(const GamepadState& state);
    bool applyButtons(std::uint16_t word);

    QMutex mutex;
    bool answering = false;
    bool lost = false; // it answered once and then stopped
    bool havePacket = false;
    std::uint32_t lastPacket = 0;
    std::uint16_t buttons = 0;
    std::array<int, 4> stickCodes{};
    std::array<bool, 2> triggers{};
    GamepadEvents gathered;
};
