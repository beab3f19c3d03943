#pragma once

#include "GamepadQuery.h"

#include <QMutex>
#include <QString>
#include <memory>

// One reading of a pad through SDL's game-controller layer, which names the buttons and axes
// of every pad it knows after one common layout.
struct SdlControllerReading {
    // Bit n: SDL's controller button n (A, B, X, Y, BACK, GUIDE, START, LEFTSTICK, RIGHTSTICK,
    // LEFTSHOULDER, RIGHTSHOULDER, DPAD_UP, DPAD_DOWN, DPAD_LEFT, DPAD_RIGHT).
    std::uint32_t buttons = 0;
    std::int16_t leftX = 0, leftY = 0, rightX = 0, rightY = 0; // down and right positive
    std::int16_t leftTrigger = 0, rightTrigger = 0;            // 0 ... 32767
};

// The controller query where there is no XInput: the first game controller of SDL 2, whose
// library is loaded at run time. Without the library, or without a pad, no controller
// answers.
class SdlGamepadQuery : public GamepadQuery {
public:
    explicit SdlGamepadQuery(const QString& library = QStringLiteral("libSDL2-2.0.so.0"));
    ~SdlGamepadQuery() override;
    SdlGamepadQuery(const SdlGamepadQuery&) = delete;
    SdlGamepadQuery& operator=(const SdlGamepadQuery&) = delete;

    bool getState(int controller, GamepadState* state) override;

    // A reading as the controller query's record, without its packet number.
    static GamepadState toGamepadState(const SdlControllerReading& reading);

private:
    struct Library;
    bool ready();
    bool findController();
    SdlControllerReading read() const;

    // The polling thread and the main loop both ask; SDL is asked by one at a time.
    QMutex mutex;
    const QString libraryName;
    std::unique_ptr<Library> sdl; // null until loaded, or when it cannot be
    bool tried = false;
    void* pad = nullptr; // the open controller
    GamepadState last;   // what was answered last, with its packet number
};
