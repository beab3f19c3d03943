#include "EafBinding.h"

#include "EafApi.h"

namespace {
// Today's focusers travel some 60000 steps; a million is beyond any of them.
constexpr int largestMaxStep = 1000000;
} // namespace

struct EafBinding::Functions {
    eaf::GetNum* getNum;
    eaf::GetID* getId;
    eaf::GetProperty* getProperty;
    eaf::Open* open;
    eaf::GetTemp* getTemp;
    eaf::GetPosition* getPosition;
    eaf::ResetPostion* resetPosition;
    eaf::IsMoving* isMoving;
    eaf::Move* move;
    eaf::Stop* stop;

    bool resolve(SharedLibrary& l) {
        return SharedLibrary::allFound({
            l.resolve(getNum, "EAFGetNum"),
            l.resolve(getId, "EAFGetID"),
            l.resolve(getProperty, "EAFGetProperty"),
            l.resolve(open, "EAFOpen"),
            l.resolve(getTemp, "EAFGetTemp"),
            l.resolve(getPosition, "EAFGetPosition"),
            l.resolve(resetPosition, "EAFResetPostion"),
            l.resolve(isMoving, "EAFIsMoving"),
            l.resolve(move, "EAFMove"),
            l.resolve(stop, "EAFStop"),
        });
    }
};

EafBinding::EafBinding()
    : library("EAF_focuser.dll", "EAFFocuser")
    , values(library.fileName())
    , functions(library.resolveAll<Functions>()) {}

EafBinding::~EafBinding() = default;

int EafBinding::getNum() {
    return values.count(functions->getNum());
}

int EafBinding::getId(int index, int* id) {
    return functions->getId(index, id);
}

int EafBinding::getProperty(int id, EafInfo* info) {
    eaf::Info read{};
    const int error = functions->getProperty(id, &read);
    if (error != Success)
        return error;
    std::string name;
    if (!values.text(read.Name, sizeof read.Name, &name) ||
        !values.within("MaxStep", read.MaxStep, 0, largestMaxStep))
        return GeneralError;
    info->id = read.ID;
    info->name = name;
    info->maxStep = read.MaxStep;
    return Success;
}

int EafBinding::open(int id) {
    return functions->open(id);
}

int EafBinding::getTemp(int id, float* temperature) {
    return functions->getTemp(id, temperature);
}

int EafBinding::getPosition(int id, int* position) {
    return functions->getPosition(id, position);
}

int EafBinding::resetPosition(int id, int position) {
    return functions->resetPosition(id, position);
}

// The library is handed both flags: its current interface has no default for the second.
int EafBinding::isMoving(int id, bool* moving, bool* handControl) {
    bool byHand = false;
    const int error = functions->isMoving(id, moving, &byHand);
    if (handControl)
        *handControl = byHand;
    return error;
}

int EafBinding::move(int id, int position) {
    return functions->move(id, position);
}

int EafBinding::stop(int id) {
    return functions->stop(id);
}
