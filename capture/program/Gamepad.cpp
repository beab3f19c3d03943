#include "Gamepad.h"

#include <algorithm>

namespace {

struct Mapping {
    std::uint16_t button;
    const char* idle;    // state 0
    const char* live;    // state 1
    const char* viewing; // states 2, 3, 4
};

// Button words to the main window's buttons; null where the input does nothing.
const Mapping mappings[] = {
    {Gamepad::DpadUp, "pushButton_24", "pushButton_2", "pan:0,-100"},
    {Gamepad::DpadDown, "pushButton_25", "pushButton_3", "pan:0,100"},
    {Gamepad::DpadLeft, "pushButton_19", "pushButton_5", "pan:-200,0"},
    {Gamepad::DpadRight, "pushButton_12", "pushButton_4", "pan:200,0"},
    {Gamepad::Start, nullptr, nullptr, "pushButton_37"},
    {Gamepad::Back, nullptr, nullptr, "pushButton_36"},
    {Gamepad::LeftThumb, "pushButton_17", "pushButton_35", "pushButton_35"},
    {Gamepad::RightThumb, "pushButton_10", "pushButton_33", "pushButton_33"},
    {Gamepad::LeftShoulder, "pushButton_7", "pushButton_84", "pushButton_36"},
    {Gamepad::RightShoulder, "pushButton_32", "pushButton_83", "pushButton_37"},
};

const char* forState(const Mapping& m, int captureState) {
    return captureState == 0 ? m.idle : captureState == 1 ? m.live : m.viewing;
}

} // namespace

void Gamepad::latch(const GamepadState& state) {
    QMutexLocker lock(&mutex);
    pressedButtons |= state.buttons & ~previous.buttons;
    if (state.leftTrigger > triggerThreshold && previous.leftTrigger <= triggerThreshold)
        leftTriggerPressed = true;
    if (state.rightTrigger > triggerThreshold && previous.rightTrigger <= triggerThreshold)
        rightTriggerPressed = true;
    previous = state;
}

QStringList Gamepad::takeActions(int captureState, GamepadFront front) {
    std::uint16_t buttons = 0;
    bool left = false, right = false;
    {
        QMutexLocker lock(&mutex);
        std::swap(buttons, pressedButtons);
        std::swap(left, leftTriggerPressed);
        std::swap(right, rightTriggerPressed);
    }
    QStringList actions;
    if (front == GamepadFront::MainWindow) {
        for (const Mapping& m : mappings) {
            const char* action = forState(m, captureState);
            if ((buttons & m.button) && action)
                actions << action;
        }
        if (left)
            actions << (captureState == 0   ? "pushButton_38"
                        : captureState == 1 ? "pushButton_7"
                                            : "pushButton_32");
    }
    if (right && captureState != 1 && front != GamepadFront::GotoWindow)
        actions << (captureState == 0 ? "pushButton_6" : "pushButton_79");
    return actions;
}

void panViewCentre(double* centreX, double* centreY, int canvasDx, int canvasDy, double zoom,
                   int imageWidth, int imageHeight) {
    if (zoom <= 0)
        return;
    *centreX += canvasDx / zoom * (imageWidth / 1200.0);
    *centreY += canvasDy / zoom * (imageHeight / 640.0);
    const double halfWidth = imageWidth / zoom / 2;
    const double halfHeight = imageHeight / zoom / 2;
    *centreX = std::clamp(*centreX, halfWidth, std::max(halfWidth, imageWidth - halfWidth - 1));
    *centreY = std::clamp(*centreY, halfHeight, std::max(halfHeight, imageHeight - halfHeight - 1));
}
