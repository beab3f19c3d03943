#include "SimPlayerOneWheelLibrary.h"

#include "Clock.h"
#include "SimFilterWheel.h"

SimPlayerOneWheelLibrary::SimPlayerOneWheelLibrary(SimFilterWheel* simWheel)
    : wheel(simWheel) {}

int SimPlayerOneWheelLibrary::reach(int handle) {
    if (!wheel)
        return InvalidHandle;
    wheel->countCall();
    if (wheel->removed())
        return NotFound;
    return handle == 0 ? Ok : InvalidHandle;
}

int SimPlayerOneWheelLibrary::getPWCount() {
    if (!wheel)
        return 0;
    wheel->countCall();
    // A count, not an error code: an unplugged wheel is simply not listed.
    return wheel->removed() ? 0 : 1;
}

int SimPlayerOneWheelLibrary::getPWProperties(int index, PwProperties* properties) {
    if (wheel)
        wheel->countCall();
    if (!wheel || index != 0)
        return InvalidIndex;
    if (wheel->removed())
        return NotFound;
    properties->name = "Phoenix Filter Wheel";
    properties->handle = 0;
    properties->positionCount = wheel->positions();
    properties->serialNumber = "SIMPW0001";
    return Ok;
}

int SimPlayerOneWheelLibrary::openPW(int handle) {
    return reach(handle);
}

int SimPlayerOneWheelLibrary::getCurrentPosition(int handle, int* position) {
    const int result = reach(handle);
    if (result != Ok)
        return result;
    const int standing = wheel->position(Clock::nowMs());
    if (standing < 0)
        return IsMoving;
    *position = standing;
    return Ok;
}

int SimPlayerOneWheelLibrary::gotoPosition(int handle, int position) {
    const int result = reach(handle);
    if (result != Ok)
        return result;
    switch (wheel->turnTo(position, Clock::nowMs())) {
    case SimFilterWheel::Turn::Started:
        return Ok;
    case SimFilterWheel::Turn::Busy:
        return IsMoving;
    case SimFilterWheel::Turn::OutOfRange:
        break;
    }
    return InvalidArgument;
}
