// The simulated DSLRs' listing as a drop-in for the maker's library (libEDSDK): its C
// functions, with the maker's names, arguments and record.
#include "CanonApi.h"
#include "CanonLibrary.h"
#include "DropInName.h"
#include "DropInObservatory.h"

#include <type_traits>

namespace {

CanonLibrary& library() {
    return *dropInLibraries().canon;
}

// The simulated library's failures are passed on as they are; success is the same 0.
edsdk::Error answer(int error) {
    return static_cast<edsdk::Error>(error);
}

edsdk::BaseRef reference(CanonLibrary::Handle handle) {
    return reinterpret_cast<edsdk::BaseRef>(handle);
}

CanonLibrary::Handle handleOf(edsdk::BaseRef reference) {
    return reinterpret_cast<CanonLibrary::Handle>(reference);
}

} // namespace

extern "C" {

edsdk::Error EDSDK_CALL EdsInitializeSDK() {
    return answer(library().initializeSdk());
}

edsdk::Error EDSDK_CALL EdsGetCameraList(edsdk::BaseRef* cameraList) {
    CanonLibrary::Handle list = 0;
    const int error = library().getCameraList(&list);
    *cameraList = reference(list);
    return answer(error);
}

edsdk::Error EDSDK_CALL EdsGetChildCount(edsdk::BaseRef parent, edsdk::UInt32* count) {
    int children = 0;
    const int error = library().getChildCount(handleOf(parent), &children);
    *count = dropInFault("negative-count") ? edsdk::UInt32(-3) : edsdk::UInt32(children);
    return answer(error);
}

edsdk::Error EDSDK_CALL EdsGetChildAtIndex(edsdk::BaseRef parent, edsdk::Int32 index,
                                           edsdk::BaseRef* child) {
    CanonLibrary::Handle camera = 0;
    const int error = library().getChildAtIndex(handleOf(parent), index, &camera);
    *child = reference(camera);
    return answer(error);
}

edsdk::Error EDSDK_CALL EdsGetDeviceInfo(edsdk::BaseRef camera, edsdk::DeviceInfo* info) {
    CanonDeviceInfo read;
    const int error = library().getDeviceInfo(handleOf(camera), &read);
    if (error != CanonLibrary::Ok)
        return answer(error);
    *info = edsdk::DeviceInfo{};
    copyDropInName(info->szPortName, read.portName);
    copyDropInName(info->szDeviceDescription, read.description);
    return edsdk::success;
}
}

// The exports have the published types the binding calls them by.
static_assert(std::is_same_v<decltype(EdsInitializeSDK), edsdk::InitializeSDK>);
static_assert(std::is_same_v<decltype(EdsGetCameraList), edsdk::GetCameraList>);
static_assert(std::is_same_v<decltype(EdsGetChildCount), edsdk::GetChildCount>);
static_assert(std::is_same_v<decltype(EdsGetChildAtIndex), edsdk::GetChildAtIndex>);
static_assert(std::is_same_v<decltype(EdsGetDeviceInfo), edsdk::GetDeviceInfo>);
