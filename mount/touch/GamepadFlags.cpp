#include "GamepadFlags.h"

#include "DebugLog.h"

namespace {

constexpr std::uint16_t xButtons = GamepadButton::B | GamepadButton::X;
constexpr std::uint16_t yButtons = GamepadButton::A | GamepadButton::Y;
// Every button but A, B, X and Y.
constexpr std::uint16_t lowButtons = 0x0FFF;

// -1, 0 or +1 for a stick code along its axis: right and down positive.
int stickStep(int code) {
    switch (code) {
    case 1:
    case 7:
        return 1;
    case 3:
    case 5:
        return -1;
    default:
        return 0;
    }
}

} // namespace

GotoPad GamepadEvents::gotoPad() const {
    const auto count = [this](std::uint16_t button) { return (pressed & button) ? 1 : 0; };
    GotoPad pad;
    pad.dpadX = count(GamepadButton::DpadRight) - count(GamepadButton::DpadLeft);
    pad.dpadY = count(GamepadButton::DpadDown) - count(GamepadButton::DpadUp);
    pad.stickX = leftStickPollsX;
    pad.stickY = leftStickPollsY;
    pad.zoomSteps = count(GamepadButton::RightThumb) - count(GamepadButton::LeftThumb);
    pad.close = pressed & GamepadButton::LeftShoulder;
    pad.plateSolve = pressed & GamepadButton::RightShoulder;
    return pad;
}

int GamepadFlags::horizontalCode(int axis) {
    return axis > stickThreshold ? 1 : axis < -stickThreshold ? 3 : 0;
}

int GamepadFlags::verticalCode(int axis) {
    return axis > stickThreshold ? 5 : axis < -stickThreshold ? 7 : 0;
}

GamepadFlags::Poll GamepadFlags::poll(GamepadQuery& query) {
    QMutexLocker lock(&mutex);
    GamepadState state;
    Poll poll;
    poll.answered = query.getState(0, &state);
    poll.news = latchLocked(poll.answered, state);
    return poll;
}

bool GamepadFlags::latch(bool answered, const GamepadState& state) {
    QMutexLocker lock(&mutex);
    return latchLocked(answered, state);
}

GamepadEvents GamepadFlags::take() {
    QMutexLocker lock(&mutex);
    GamepadEvents events = gathered;
    events.held = buttons;
    events.stick = stickCodes;
    gathered = GamepadEvents();
    return events;
}

bool GamepadFlags::latchLocked(bool answered, const GamepadState& state) {
    if (!answered) {
        if (!answering)
            return false;
        // Gone with a button held or a stick pushed: let go of them, so that the main loop
        // stops what they started.
        debugLog("joystick disconnect");
        answering = false;
        lost = true;
        havePacket = false;
        return apply(GamepadState());
    }
    if (!answering && lost)
        debugLog("joystick connect");
    answering = true;
    bool news = false;
    if (!havePacket || state.packetNumber != lastPacket) {
        havePacket = true;
        lastPacket = state.packetNumber;
        news = apply(state);
    }
    // The left stick pans the chart a step a poll for as long as it is pushed.
    const int stepX = stickStep(stickCodes[GamepadEvents::LeftX]);
    const int stepY = stickStep(stickCodes[GamepadEvents::LeftY]);
    gathered.leftStickPollsX += stepX;
    gathered.leftStickPollsY += stepY;
    return news || stepX || stepY;
}

bool GamepadFlags::apply(const GamepadState& state) {
    bool news = applyButtons(state.buttons);
    const int codes[] = {horizontalCode(state.thumbRX), verticalCode(state.thumbRY),
                         horizontalCode(state.thumbLX), verticalCode(state.thumbLY)};
    for (int stick = 0; stick < 4; ++stick) {
        if (codes[stick] != stickCodes[stick]) {
            stickCodes[stick] = codes[stick];
            gathered.stickChanged[stick] = true;
            news = true;
        }
    }
    const bool pulled[] = {state.leftTrigger > triggerThreshold,
                           state.rightTrigger > triggerThreshold};
    for (int trigger = 0; trigger < 2; ++trigger) {
        if (pulled[trigger] != triggers[trigger]) {
            triggers[trigger] = pulled[trigger];
            gathered.triggerPressed[trigger] |= pulled[trigger];
            news = true;
        }
    }
    return news;
}

bool GamepadFlags::applyButtons(std::uint16_t word) {
    const std::uint16_t previous = buttons;
    if (word == previous)
        return false;
    buttons = word;
    if (word & lowButtons)
        debugLog("Button Change %d", word);
    gathered.pressed |= word & ~previous;
    const bool xWas = previous & xButtons, xNow = word & xButtons;
    if (!xWas && xNow) {
        gathered.xOn = true;
        debugLog("XOn");
    } else if (xWas && !xNow) {
        gathered.xOff = true;
        debugLog("XOff");
    }
    const bool yWas = previous & yButtons, yNow = word & yButtons;
    if (!yWas && yNow) {
        gathered.yOn = true;
        debugLog("YOn");
    } else if (yWas && !yNow) {
        gathered.yOff = true;
        debugLog("YOff");
    }
    return true;
}
