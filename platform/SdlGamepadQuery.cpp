#include "SdlGamepadQuery.h"

#include "DebugLog.h"

#include <QLibrary>
#include <algorithm>

namespace {

// SDL 2's numbers, from its headers.
constexpr std::uint32_t initGameController = 0x2000;
constexpr int ignoreEvents = 0;
enum SdlAxis { LeftX, LeftY, RightX, RightY, TriggerLeft, TriggerRight };
constexpr int buttonCount = 15;

// SDL's controller buttons as the button word's bits; GUIDE (5) has none.
const struct {
    int sdlButton;
    std::uint16_t bit;
} buttonBits[] = {
    {0, GamepadButton::A},
    {1, GamepadButton::B},
    {2, GamepadButton::X},
    {3, GamepadButton::Y},
    {4, GamepadButton::Back},
    {6, GamepadButton::Start},
    {7, GamepadButton::LeftThumb},
    {8, GamepadButton::RightThumb},
    {9, GamepadButton::LeftShoulder},
    {10, GamepadButton::RightShoulder},
    {11, GamepadButton::DpadUp},
    {12, GamepadButton::DpadDown},
    {13, GamepadButton::DpadLeft},
    {14, GamepadButton::DpadRight},
};

// SDL's axes point down, the record's up; -32768 has no opposite and becomes 32767.
std::int16_t upwards(std::int16_t down) {
    return std::int16_t(-std::max<int>(down, -32767));
}

std::uint8_t triggerByte(std::int16_t value) {
    return std::uint8_t(std::clamp<int>(value, 0, 32767) * 255 / 32767);
}

bool sameState(const GamepadState& a, const GamepadState& b) {
    return a.buttons == b.buttons && a.leftTrigger == b.leftTrigger &&
           a.rightTrigger == b.rightTrigger && a.thumbLX == b.thumbLX && a.thumbLY == b.thumbLY &&
           a.thumbRX == b.thumbRX && a.thumbRY == b.thumbRY;
}

} // namespace

struct SdlGamepadQuery::Library {
    QLibrary library;
    int (*SDL_SetHint)(const char*, const char*) = nullptr;
    int (*SDL_Init)(std::uint32_t) = nullptr;
    void (*SDL_QuitSubSystem)(std::uint32_t) = nullptr;
    int (*SDL_JoystickEventState)(int) = nullptr;
    int (*SDL_GameControllerEventState)(int) = nullptr;
    void (*SDL_GameControllerUpdate)() = nullptr;
    int (*SDL_NumJoysticks)() = nullptr;
    int (*SDL_IsGameController)(int) = nullptr;
    void* (*SDL_GameControllerOpen)(int) = nullptr;
    int (*SDL_GameControllerGetAttached)(void*) = nullptr;
    std::uint8_t (*SDL_GameControllerGetButton)(void*, int) = nullptr;
    std::int16_t (*SDL_GameControllerGetAxis)(void*, int) = nullptr;
    void (*SDL_GameControllerClose)(void*) = nullptr;

    template <typename Function> bool resolve(Function*& function, const char* name) {
        function = reinterpret_cast<Function*>(library.resolve(name));
        if (!function)
            debugLog("%s not found in %s", name, qPrintable(library.fileName()));
        return function != nullptr;
    }

    bool load(const QString& name) {
        library.setFileName(name);
        if (!library.load())
            return false;
        return resolve(SDL_SetHint, "SDL_SetHint") && resolve(SDL_Init, "SDL_Init") &&
               resolve(SDL_QuitSubSystem, "SDL_QuitSubSystem") &&
               resolve(SDL_JoystickEventState, "SDL_JoystickEventState") &&
               resolve(SDL_GameControllerEventState, "SDL_GameControllerEventState") &&
               resolve(SDL_GameControllerUpdate, "SDL_GameControllerUpdate") &&
               resolve(SDL_NumJoysticks, "SDL_NumJoysticks") &&
               resolve(SDL_IsGameController, "SDL_IsGameController") &&
               resolve(SDL_GameControllerOpen, "SDL_GameControllerOpen") &&
               resolve(SDL_GameControllerGetAttached, "SDL_GameControllerGetAttached") &&
               resolve(SDL_GameControllerGetButton, "SDL_GameControllerGetButton") &&
               resolve(SDL_GameControllerGetAxis, "SDL_GameControllerGetAxis") &&
               resolve(SDL_GameControllerClose, "SDL_GameControllerClose");
    }
};

SdlGamepadQuery::SdlGamepadQuery(const QString& library)
    : libraryName(library) {}

SdlGamepadQuery::~SdlGamepadQuery() {
    QMutexLocker lock(&mutex);
    if (!sdl)
        return;
    if (pad)
        sdl->SDL_GameControllerClose(pad);
    sdl->SDL_QuitSubSystem(initGameController);
}

bool SdlGamepadQuery::ready() {
    if (tried)
        return sdl != nullptr;
    tried = true;
    auto library = std::make_unique<Library>();
    if (!library->load(libraryName))
        return false;
    // The program's own handlers of SIGINT and SIGTERM stay; pads are read, not evented, so
    // no event queue fills up unread.
    library->SDL_SetHint("SDL_NO_SIGNAL_HANDLERS", "1");
    if (library->SDL_Init(initGameController) != 0) {
        debugLog("SDL game controllers not available");
        return false;
    }
    library->SDL_JoystickEventState(ignoreEvents);
    library->SDL_GameControllerEventState(ignoreEvents);
    sdl = std::move(library);
    return true;
}

bool SdlGamepadQuery::findController() {
    if (pad && sdl->SDL_GameControllerGetAttached(pad))
        return true;
    if (pad) {
        sdl->SDL_GameControllerClose(pad);
        pad = nullptr;
    }
    const int count = sdl->SDL_NumJoysticks();
    for (int index = 0; index < count && !pad; ++index) {
        if (sdl->SDL_IsGameController(index))
            pad = sdl->SDL_GameControllerOpen(index);
    }
    return pad != nullptr;
}

SdlControllerReading SdlGamepadQuery::read() const {
    SdlControllerReading reading;
    for (int button = 0; button < buttonCount; ++button) {
        if (sdl->SDL_GameControllerGetButton(pad, button))
            reading.buttons |= 1u << button;
    }
    reading.leftX = sdl->SDL_GameControllerGetAxis(pad, LeftX);
    reading.leftY = sdl->SDL_GameControllerGetAxis(pad, LeftY);
    reading.rightX = sdl->SDL_GameControllerGetAxis(pad, RightX);
    reading.rightY = sdl->SDL_GameControllerGetAxis(pad, RightY);
    reading.leftTrigger = sdl->SDL_GameControllerGetAxis(pad, TriggerLeft);
    reading.rightTrigger = sdl->SDL_GameControllerGetAxis(pad, TriggerRight);
    return reading;
}

bool SdlGamepadQuery::getState(int controller, GamepadState* state) {
    QMutexLocker lock(&mutex);
    if (controller != 0 || !ready())
        return false;
    sdl->SDL_GameControllerUpdate();
    if (!findController())
        return false;
    GamepadState now = toGamepadState(read());
    // Like XInput's, the packet number changes only when the state does.
    now.packetNumber = sameState(now, last) ? last.packetNumber : last.packetNumber + 1;
    last = now;
    *state = now;
    return true;
}

GamepadState SdlGamepadQuery::toGamepadState(const SdlControllerReading& reading) {
    GamepadState state;
    for (const auto& map : buttonBits) {
        if (reading.buttons & (1u << map.sdlButton))
            state.buttons |= map.bit;
    }
    state.leftTrigger = triggerByte(reading.leftTrigger);
    state.rightTrigger = triggerByte(reading.rightTrigger);
    state.thumbLX = reading.leftX;
    state.thumbLY = upwards(reading.leftY);
    state.thumbRX = reading.rightX;
    state.thumbRY = upwards(reading.rightY);
    return state;
}
