#include "SimCanonLibrary.h"

namespace {
constexpr CanonLibrary::Handle listHandle = 1;
constexpr CanonLibrary::Handle firstCamera = 100;
} // namespace

SimCanonLibrary::SimCanonLibrary(QStringList cameraNames)
    : names(std::move(cameraNames)) {}

int SimCanonLibrary::initializeSdk() {
    initialised = true;
    return Ok;
}

int SimCanonLibrary::getCameraList(Handle* list) {
    if (!initialised)
        return NotAvailable;
    *list = listHandle;
    return Ok;
}

int SimCanonLibrary::getChildCount(Handle list, int* count) {
    if (list != listHandle)
        return NotAvailable;
    *count = names.size();
    return Ok;
}

int SimCanonLibrary::getChildAtIndex(Handle list, int index, Handle* camera) {
    if (list != listHandle || index < 0 || index >= names.size())
        return NotAvailable;
    *camera = firstCamera + Handle(index);
    return Ok;
}

int SimCanonLibrary::getDeviceInfo(Handle camera, CanonDeviceInfo* info) {
    const int index = int(camera - firstCamera);
    if (camera < firstCamera || index >= names.size())
        return NotAvailable;
    info->portName = "USB" + std::to_string(index);
    info->description = names.at(index).toStdString();
    return Ok;
}
