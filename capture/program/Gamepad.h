#pragma once

#include "GamepadQuery.h"

#include <QMutex>
#include <QStringList>
#include <cstdint>

// Which window takes the controller: the main window alone; a window in front of it with a
// mapping of its own (the composite window, the full-screen view), which leaves the main
// window only the right trigger; or the goto window, which leaves it nothing.
enum class GamepadFront { MainWindow, OwnMapping, GotoWindow };

// Presses of the controller, latched as the polling thread sees them and handed to the main
// window as the buttons they stand for. Every action is the same as the button's.
class Gamepad {
public:
    enum Button : std::uint16_t {
        DpadUp = 0x0001,
        DpadDown = 0x0002,
        DpadLeft = 0x0004,
        DpadRight = 0x0008,
        Start = 0x0010,
        Back = 0x0020,
        LeftThumb = 0x0040,
        RightThumb = 0x0080,
        LeftShoulder = 0x0100,
        RightShoulder = 0x0200
    };
    static constexpr int triggerThreshold = 200; // a trigger counts as pressed above this

    // The polling thread's report: latches every button and trigger that went down.
    void latch(const GamepadState& state);

    // What the main window does with the latched presses: the object names of the buttons
    // to press, in a fixed order, for the capture state. Clears the latches. Pans of the
    // zoomed view (states 2 to 4) come back as "pan:dx,dy" in canvas pixels.
    QStringList takeActions(int captureState, GamepadFront front);

private:
    QMutex mutex;
    GamepadState previous;
    std::uint16_t pressedButtons = 0;
    bool leftTriggerPressed = false;
    bool rightTriggerPressed = false;
};

// Moves the view centre of a zoomed image by canvas pixels, as the gamepad pans: the canvas
// is 1200 x 640, so a canvas pixel is (1 / zoom) * (image size / canvas size) image pixels.
// The centre stays where the zoom window (image size / zoom) lies inside the image.
void panViewCentre(double* centreX, double* centreY, int canvasDx, int canvasDy, double zoom,
                   int imageWidth, int imageHeight);
