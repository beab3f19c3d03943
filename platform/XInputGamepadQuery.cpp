#include "XInputGamepadQuery.h"

#include <windows.h>

namespace {

// XInput's record of one controller, as its header lays it out.
struct XInputGamepad {
    WORD wButtons;
    BYTE bLeftTrigger;
    BYTE bRightTrigger;
    SHORT sThumbLX;
    SHORT sThumbLY;
    SHORT sThumbRX;
    SHORT sThumbRY;
};

struct XInputState {
    DWORD dwPacketNumber;
    XInputGamepad Gamepad;
};

using XInputGetState = DWORD(WINAPI*)(DWORD userIndex, XInputState* state);

} // namespace

XInputGamepadQuery::XInputGamepadQuery() {
    if (HMODULE library = LoadLibraryA("xinput1_4.dll"))
        getStateFunction = reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(2)));
}

bool XInputGamepadQuery::getState(int controller, GamepadState* state) {
    if (!getStateFunction)
        return false;
    XInputState read{};
    if (reinterpret_cast<XInputGetState>(getStateFunction)(DWORD(controller), &read) !=
        ERROR_SUCCESS)
        return false;
    state->packetNumber = read.dwPacketNumber;
    state->buttons = read.Gamepad.wButtons;
    state->leftTrigger = read.Gamepad.bLeftTrigger;
    state->rightTrigger = read.Gamepad.bRightTrigger;
    state->thumbLX = read.Gamepad.sThumbLX;
    state->thumbLY = read.Gamepad.sThumbLY;
    state->thumbRX = read.Gamepad.sThumbRX;
    state->thumbRY = read.Gamepad.sThumbRY;
    return true;
}
