// The simulated ZWO EAF focuser as a drop-in for the maker's library (libEAFFocuser): its C
// functions, with the maker's names, arguments and record.
#include "DropInName.h"
#include "DropInObservatory.h"
#include "EafApi.h"
#include "EafLibrary.h"

#include <type_traits>

namespace {

EafLibrary& library() {
    return *dropInLibraries().eaf;
}

} // namespace

extern "C" {

int EAFGetNum() {
    return dropInFault("negative-count") ? -3 : library().getNum();
}

eaf::ErrorCode EAFGetID(int index, int* id) {
    return library().getId(index, id);
}

eaf::ErrorCode EAFGetProperty(int id, eaf::Info* info) {
    EafInfo read;
    const int error = library().getProperty(id, &read);
    if (error != EafLibrary::Success)
        return error;
    *info = eaf::Info{};
    info->ID = read.id;
    copyDropInName(info->Name, read.name);
    info->MaxStep = dropInFault("out-of-range") ? -1 : read.maxStep;
    return EafLibrary::Success;
}

eaf::ErrorCode EAFOpen(int id) {
    return library().open(id);
}

eaf::ErrorCode EAFGetTemp(int id, float* temperature) {
    return library().getTemp(id, temperature);
}

eaf::ErrorCode EAFGetPosition(int id, int* step) {
    return library().getPosition(id, step);
}

eaf::ErrorCode EAFResetPostion(int id, int step) {
    return library().resetPosition(id, step);
}

eaf::ErrorCode EAFIsMoving(int id, bool* moving, bool* handControl) {
    return library().isMoving(id, moving, handControl);
}

eaf::ErrorCode EAFMove(int id, int step) {
    return library().move(id, step);
}

eaf::ErrorCode EAFStop(int id) {
    return library().stop(id);
}
}

// The exports have the published types the binding calls them by.
static_assert(std::is_same_v<decltype(EAFGetNum), eaf::GetNum>);
static_assert(std::is_same_v<decltype(EAFGetID), eaf::GetID>);
static_assert(std::is_same_v<decltype(EAFGetProperty), eaf::GetProperty>);
static_assert(std::is_same_v<decltype(EAFOpen), eaf::Open>);
static_assert(std::is_same_v<decltype(EAFGetTemp), eaf::GetTemp>);
static_assert(std::is_same_v<decltype(EAFGetPosition), eaf::GetPosition>);
static_assert(std::is_same_v<decltype(EAFResetPostion), eaf::ResetPostion>);
static_assert(std::is_same_v<decltype(EAFIsMoving), eaf::IsMoving>);
static_assert(std::is_same_v<decltype(EAFMove), eaf::Move>);
static_assert(std::is_same_v<decltype(EAFStop), eaf::Stop>);
