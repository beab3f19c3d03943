#pragma once

#include <QStringList>

struct GamepadEvents;

// Which window in front of the main window takes the controller: none, or one with a mapping
// of its own (the composite window, the full-screen view), which leaves the main window only
// the right trigger.
enum class GamepadFront { MainWindow, OwnMapping };

// The main window's share of the controller, served while the goto window is closed: the
// buttons its presses stand for. Every action is the same as the button's.
class MainWindowGamepad {
public:
    // The object names of the buttons to press, in a fixed order, for the capture state. Pans
    // of the zoomed view (states 2 to 4) come back as "pan:dx,dy" in canvas pixels.
    static QStringList actions(const GamepadEvents& events, int captureState, GamepadFront front);
};

// Moves the view centre of a zoomed image by canvas pixels, as the gamepad pans: the canvas
// is 1200 x 640, so a canvas pixel is (1 / zoom) * (image size / canvas size) image pixels.
// The centre stays where the zoom window (image size / zoom) lies inside the image.
void panViewCentre(double* centreX, double* centreY, int canvasDx, int canvasDy, double zoom,
                   int imageWidth, int imageHeight);
