// The simulated Player One filter wheel as a drop-in for the maker's wheel library
// (libPlayerOnePW): its C functions, with the maker's names, arguments and record.
#include "DropInName.h"
#include "DropInObservatory.h"
#include "PlayerOneWheelApi.h"
#include "PlayerOneWheelLibrary.h"

#include <type_traits>

namespace {

PlayerOneWheelLibrary& library() {
    return *dropInLibraries().playerOneWheel;
}

} // namespace

extern "C" {

int POAGetPWCount() {
    return dropInFault("negative-count") ? -3 : library().getPWCount();
}

pw::ErrorCode POAGetPWProperties(int index, pw::Properties* properties) {
    PwProperties read;
    const int error = library().getPWProperties(index, &read);
    if (error != PlayerOneWheelLibrary::Ok)
        return error;
    *properties = pw::Properties{};
    copyDropInName(properties->Name, read.name);
    copyDropInName(properties->SN, read.serialNumber);
    properties->Handle = read.handle;
    properties->PositionCount = dropInFault("out-of-range") ? 1000 : read.positionCount;
    return PlayerOneWheelLibrary::Ok;
}

// The text stays the caller's until the thread's next call, as a library's static text would.
const char* POAGetPWErrorString(pw::ErrorCode error) {
    thread_local std::string text;
    text = library().getPWErrorString(error);
    return dropInFault("null-error-text") ? nullptr : text.c_str();
}

pw::ErrorCode POAOpenPW(int handle) {
    return library().openPW(handle);
}

pw::ErrorCode POAGetCurrentPosition(int handle, int* position) {
    return library().getCurrentPosition(handle, position);
}

pw::ErrorCode POAGotoPosition(int handle, int position) {
    return library().gotoPosition(handle, position);
}
}

// The exports have the published types the binding calls them by.
static_assert(std::is_same_v<decltype(POAGetPWCount), pw::GetPWCount>);
static_assert(std::is_same_v<decltype(POAGetPWProperties), pw::GetPWProperties>);
static_assert(std::is_same_v<decltype(POAGetPWErrorString), pw::GetPWErrorString>);
static_assert(std::is_same_v<decltype(POAOpenPW), pw::OpenPW>);
static_assert(std::is_same_v<decltype(POAGetCurrentPosition), pw::GetCurrentPosition>);
static_assert(std::is_same_v<decltype(POAGotoPosition), pw::GotoPosition>);
