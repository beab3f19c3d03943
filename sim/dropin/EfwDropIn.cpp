// The simulated ZWO EFW filter wheel as a drop-in for the maker's library (libEFWFilter): its
// C functions, with the maker's names, arguments and record.
#include "DropInName.h"
#include "DropInObservatory.h"
#include "EfwApi.h"
#include "EfwLibrary.h"

#include <type_traits>

namespace {

EfwLibrary& library() {
    return *dropInLibraries().efw;
}

} // namespace

extern "C" {

int EFWGetNum() {
    return dropInFault("negative-count") ? -3 : library().getNum();
}

efw::ErrorCode EFWGetID(int index, int* id) {
    return library().getId(index, id);
}

// While the wheel counts its slots the record is filled and Moving answered, as the
// simulated library does.
efw::ErrorCode EFWGetProperty(int id, efw::Info* info) {
    EfwInfo read;
    const int error = library().getProperty(id, &read);
    if (error != EfwLibrary::Success && error != EfwLibrary::Moving)
        return error;
    *info = efw::Info{};
    info->ID = read.id;
    copyDropInName(info->Name, read.name);
    info->slotNum = dropInFault("out-of-range") ? 1000 : read.slotNum;
    return error;
}

efw::ErrorCode EFWOpen(int id) {
    return library().open(id);
}

efw::ErrorCode EFWGetPosition(int id, int* position) {
    return library().getPosition(id, position);
}

efw::ErrorCode EFWSetPosition(int id, int position) {
    return library().setPosition(id, position);
}
}

// The exports have the published types the binding calls them by.
static_assert(std::is_same_v<decltype(EFWGetNum), efw::GetNum>);
static_assert(std::is_same_v<decltype(EFWGetID), efw::GetID>);
static_assert(std::is_same_v<decltype(EFWGetProperty), efw::GetProperty>);
static_assert(std::is_same_v<decltype(EFWOpen), efw::Open>);
static_assert(std::is_same_v<decltype(EFWGetPosition), efw::GetPosition>);
static_assert(std::is_same_v<decltype(EFWSetPosition), efw::SetPosition>);
