#include "PlayerOneWheelBinding.h"

#include "PlayerOneWheelApi.h"

#include <cstring>

namespace {

// The longest error text taken from the library.
constexpr std::size_t errorTextLength = 127;
// The most positions taken for a wheel, well above any wheel made today.
constexpr int mostPositions = 32;

} // namespace

struct PlayerOneWheelBinding::Functions {
    pw::GetPWCount* getPWCount;
    pw::GetPWProperties* getPWProperties;
    pw::GetPWErrorString* getPWErrorString;
    pw::OpenPW* openPW;
    pw::GetCurrentPosition* getCurrentPosition;
    pw::GotoPosition* gotoPosition;

    bool resolve(SharedLibrary& l) {
        return SharedLibrary::allFound({
            l.resolve(getPWCount, "POAGetPWCount"),
            l.resolve(getPWProperties, "POAGetPWProperties"),
            l.resolve(getPWErrorString, "POAGetPWErrorString"),
            l.resolve(openPW, "POAOpenPW"),
            l.resolve(getCurrentPosition, "POAGetCurrentPosition"),
            l.resolve(gotoPosition, "POAGotoPosition"),
        });
    }
};

PlayerOneWheelBinding::PlayerOneWheelBinding()
    : library("PlayerOnePW.dll", "PlayerOnePW")
    , values(library.fileName())
    , functions(library.resolveAll<Functions>()) {}

PlayerOneWheelBinding::~PlayerOneWheelBinding() = default;

int PlayerOneWheelBinding::getPWCount() {
    return values.count(functions->getPWCount());
}

int PlayerOneWheelBinding::getPWProperties(int index, PwProperties* properties) {
    pw::Properties read{};
    const int error = functions->getPWProperties(index, &read);
    if (error != Ok)
        return error;
    PwProperties checked;
    if (!values.text(read.Name, sizeof read.Name, &checked.name) ||
        !values.text(read.SN, sizeof read.SN, &checked.serialNumber) ||
        !values.within("position count", read.PositionCount, 0, mostPositions))
        return OperationFailed;
    checked.handle = read.Handle;
    checked.positionCount = read.PositionCount;
    *properties = std::move(checked);
    return Ok;
}

// The library's text, no more than errorTextLength of it, so that one without its end cannot
// run on through the log line; without a text, the published name of the code.
std::string PlayerOneWheelBinding::getPWErrorString(int error) {
    const char* text = functions->getPWErrorString(error);
    if (!text)
        return PlayerOneWheelLibrary::getPWErrorString(error);
    return std::string(text, strnlen(text, errorTextLength));
}

int PlayerOneWheelBinding::openPW(int handle) {
    return functions->openPW(handle);
}

int PlayerOneWheelBinding::getCurrentPosition(int handle, int* position) {
    return functions->getCurrentPosition(handle, position);
}

int PlayerOneWheelBinding::gotoPosition(int handle, int position) {
    return functions->gotoPosition(handle, position);
}
