#include "MainWindowGamepad.h"

#include "GamepadFlags.h"

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
    {GamepadButton::DpadUp, "pushButton_24", "pushButton_2", "pan:0,-100"},
    {GamepadButton::DpadDown, "pushButton_25", "pushButton_3", "pan:0,100"},
    {GamepadButton::DpadLeft, "pushButton_19", "pushButton_5", "pan:-200,0"},
    {GamepadButton::DpadRight, "pushButton_12", "pushButton_4", "pan:200,0"},
    {GamepadButton::Start, nullptr, nullptr, "pushButton_37"},
    {GamepadButton::Back, nullptr, nullptr, "pushButton_36"},
    {GamepadButton::LeftThumb, "pushButton_17", "pushButton_35", "pushButton_35"},
    {GamepadButton::RightThumb, "pushButton_10", "pushButton_33", "pushButton_33"},
    {GamepadButton::LeftShoulder, "pushButton_7", "pushButton_84", "pushButton_36"},
    {GamepadButton::RightShoulder, "pushButton_32", "pushButton_83", "pushButton_37"},
};

const char* forState(const Mapping& m, int captureState) {
    return captureState == 0 ? m.idle : captureState == 1 ? m.live : m.viewing;
}

} // namespace

QStringList MainWindowGamepad::actions(const GamepadEvents& events, int captureState,
                                       GamepadFront front) {
    QStringList actions;
    if (front == GamepadFront::MainWindow) {
        for (const Mapping& m : mappings) {
            const char* action = forState(m, captureState);
            if ((events.pressed & m.button) && action)
                actions << action;
        }
        if (events.triggerPressed[GamepadEvents::LeftTrigger])
            actions << (captureState == 0   ? "pushButton_38"
                        : captureState == 1 ? "pushButton_7"
                                            : "pushButton_32");
    }
    if (events.triggerPressed[GamepadEvents::RightTrigger] && captureState != 1)
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
