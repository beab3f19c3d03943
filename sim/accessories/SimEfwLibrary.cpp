#include "SimEfwLibrary.h"

#include "Clock.h"
#include "SimFilterWheel.h"

SimEfwLibrary::SimEfwLibrary(SimFilterWheel* simWheel)
    : wheel(simWheel) {}

int SimEfwLibrary::reach(int id) {
    if (!wheel)
        return InvalidId;
    wheel->countCall();
    if (wheel->removed())
        return Removed;
    return id == 0 ? Success : InvalidId;
}

int SimEfwLibrary::getNum() {
    if (!wheel)
        return 0;
    wheel->countCall();
    // A count, not an error code: an unplugged wheel is simply not listed.
    return wheel->removed() ? 0 : 1;
}

int SimEfwLibrary::getId(int index, int* id) {
    if (wheel)
        wheel->countCall();
    if (!wheel || index != 0)
        return InvalidIndex;
    if (wheel->removed())
        return Removed;
    *id = 0;
    return Success;
}

int SimEfwLibrary::getProperty(int id, EfwInfo* info) {
    const int result = reach(id);
    if (result != Success)
        return result;
    info->id = 0;
    info->name = "EFW";
    info->slotNum = wheel->positions();
    return wheel->position(Clock::nowMs()) < 0 ? Moving : Success;
}

int SimEfwLibrary::open(int id) {
    return reach(id);
}

int SimEfwLibrary::getPosition(int id, int* position) {
    const int result = reach(id);
    if (result == Success)
        *position = wheel->position(Clock::nowMs());
    return result;
}

int SimEfwLibrary::setPosition(int id, int position) {
    const int result = reach(id);
    if (result != Success)
        return result;
    switch (wheel->turnTo(position, Clock::nowMs())) {
    case SimFilterWheel::Turn::Started:
        return Success;
    case SimFilterWheel::Turn::Busy:
        return Moving;
    case SimFilterWheel::Turn::OutOfRange:
        break;
    }
    return InvalidValue;
}
