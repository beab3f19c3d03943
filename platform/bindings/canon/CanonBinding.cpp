#include "CanonBinding.h"

#include "CanonApi.h"

namespace {

// On Windows the library's functions are imported by number, elsewhere by their names.
template <typename Function>
bool resolveExport(SharedLibrary& library, Function*& function, const char* name, int ordinal) {
#ifdef Q_OS_WIN
    Q_UNUSED(name)
    return library.resolve(function, ordinal);
#else
    Q_UNUSED(ordinal)
    return library.resolve(function, name);
#endif
}

int answer(edsdk::Error error) {
    return error == edsdk::success ? CanonLibrary::Ok : CanonLibrary::NotAvailable;
}

edsdk::BaseRef reference(CanonLibrary::Handle handle) {
    return reinterpret_cast<edsdk::BaseRef>(handle);
}

CanonLibrary::Handle handleOf(edsdk::BaseRef reference) {
    return reinterpret_cast<CanonLibrary::Handle>(reference);
}

} // namespace

struct CanonBinding::Functions {
    edsdk::InitializeSDK* initializeSdk;
    edsdk::GetCameraList* getCameraList;
    edsdk::GetChildCount* getChildCount;
    edsdk::GetChildAtIndex* getChildAtIndex;
    edsdk::GetDeviceInfo* getDeviceInfo;

    bool resolve(SharedLibrary& l) {
        return SharedLibrary::allFound({
            resolveExport(l, initializeSdk, "EdsInitializeSDK", 1),
            resolveExport(l, getCameraList, "EdsGetCameraList", 12),
            resolveExport(l, getChildCount, "EdsGetChildCount", 5),
            resolveExport(l, getChildAtIndex, "EdsGetChildAtIndex", 6),
            resolveExport(l, getDeviceInfo, "EdsGetDeviceInfo", 13),
        });
    }
};

CanonBinding::CanonBinding()
    : library("EDSDK.dll", "EDSDK")
    , values(library.fileName())
    , functions(library.resolveAll<Functions>()) {}

CanonBinding::~CanonBinding() = default;

int CanonBinding::initializeSdk() {
    return answer(functions->initializeSdk());
}

int CanonBinding::getCameraList(Handle* list) {
    edsdk::BaseRef read = nullptr;
    const edsdk::Error error = functions->getCameraList(&read);
    *list = handleOf(read);
    return answer(error);
}

int CanonBinding::getChildCount(Handle list, int* count) {
    edsdk::UInt32 read = 0;
    const edsdk::Error error = functions->getChildCount(reference(list), &read);
    // A count beyond int's range reads as negative, and is refused.
    *count = values.count(static_cast<int>(read));
    return answer(error);
}

int CanonBinding::getChildAtIndex(Handle list, int index, Handle* camera) {
    edsdk::BaseRef read = nullptr;
    const edsdk::Error error = functions->getChildAtIndex(reference(list), index, &read);
    *camera = handleOf(read);
    return answer(error);
}

int CanonBinding::getDeviceInfo(Handle camera, CanonDeviceInfo* info) {
    edsdk::DeviceInfo read{};
    const edsdk::Error error = functions->getDeviceInfo(reference(camera), &read);
    if (error != edsdk::success)
        return NotAvailable;
    if (!values.text(read.szPortName, sizeof read.szPortName, &info->portName) ||
        !values.text(read.szDeviceDescription, sizeof read.szDeviceDescription, &info->description))
        return NotAvailable;
    return Ok;
}
