#include "SimEafLibrary.h"

#include "Clock.h"
#include "SimFocuser.h"

SimEafLibrary::SimEafLibrary(SimFocuser* simFocuser)
    : focuser(simFocuser) {}

int SimEafLibrary::reach(int id) {
    if (!focuser)
        return InvalidId;
    focuser->countCall();
    if (focuser->removed())
        return Removed;
    return id == 0 ? Success : InvalidId;
}

int SimEafLibrary::getNum() {
    if (!focuser)
        return 0;
    focuser->countCall();
    // A count, not an error code: an unplugged focuser is simply not listed.
    return focuser->removed() ? 0 : 1;
}

int SimEafLibrary::getId(int index, int* id) {
    if (focuser)
        focuser->countCall();
    if (!focuser || index != 0)
        return InvalidIndex;
    if (focuser->removed())
        return Removed;
    *id = 0;
    return Success;
}

int SimEafLibrary::getProperty(int id, EafInfo* info) {
    const int result = reach(id);
    if (result != Success)
        return result;
    info->id = 0;
    info->name = "EAF";
    info->maxStep = SimFocuser::maxStep;
    return Success;
}

int SimEafLibrary::open(int id) {
    return reach(id);
}

int SimEafLibrary::getTemp(int id, float* temperature) {
    const int result = reach(id);
    if (result == Success)
        *temperature = SimFocuser::temperature;
    return result;
}

int SimEafLibrary::getPosition(int id, int* position) {
    const int result = reach(id);
    if (result == Success)
        *position = focuser->reportedPosition(Clock::nowMs());
    return result;
}

int SimEafLibrary::resetPosition(int id, int position) {
    const int result = reach(id);
    if (result == Success)
        focuser->relabel(position, Clock::nowMs());
    return result;
}

int SimEafLibrary::isMoving(int id, bool* moving, bool* handControl) {
    const int result = reach(id);
    if (result != Success)
        return result;
    *moving = focuser->isMoving(Clock::nowMs());
    if (handControl)
        *handControl = false;
    return Success;
}

int SimEafLibrary::move(int id, int position) {
    const int result = reach(id);
    if (result != Success)
        return result;
    return focuser->moveTo(position, Clock::nowMs()) ? Success : InvalidValue;
}

int SimEafLibrary::stop(int id) {
    const int result = reach(id);
    if (result == Success)
        focuser->stop(Clock::nowMs());
    return result;
}
