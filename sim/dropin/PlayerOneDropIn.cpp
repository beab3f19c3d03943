// The simulated Player One cameras as a drop-in for the maker's camera library
// (libPlayerOneCamera): its C functions, with the maker's names, arguments and records.
#include "DropInName.h"
#include "DropInObservatory.h"
#include "PlayerOneApi.h"
#include "PlayerOneConfigValue.h"
#include "PlayerOneLibrary.h"

#include <algorithm>
#include <iterator>
#include <type_traits>

namespace {

PlayerOneLibrary& library() {
    return *dropInLibraries().playerOne;
}

int sizeFault(int side) {
    return dropInFault("zero-size") ? 0 : dropInFault("wide") ? 100000 : side;
}

} // namespace

extern "C" {

int POAGetCameraCount() {
    return dropInFault("negative-count") ? -3 : library().getCameraCount();
}

poa::ErrorCode POAGetCameraProperties(int index, poa::CameraProperties* properties) {
    PoaCameraProperties read;
    const int error = library().getCameraProperties(index, &read);
    if (error != PlayerOneLibrary::Ok)
        return error;
    *properties = poa::CameraProperties{};
    copyDropInName(properties->cameraModelName, read.cameraModelName);
    copyDropInName(properties->sensorModelName, read.sensorModelName);
    copyDropInName(properties->SN, read.serialNumber);
    properties->cameraID = read.cameraId;
    properties->maxWidth = sizeFault(read.maxWidth);
    properties->maxHeight = sizeFault(read.maxHeight);
    properties->bitDepth = 16;
    properties->isColorCamera = read.isColorCamera;
    properties->isHasCooler = read.isHasCooler;
    // The maker's library gives a mono sensor the pattern -1.
    properties->bayerPattern = read.isColorCamera ? read.bayerPattern : -1;
    const std::size_t bins = std::min(read.bins.size(), std::size(properties->bins) - 1);
    std::copy_n(read.bins.begin(), bins, properties->bins);
    properties->imgFormats[0] = PlayerOneLibrary::Raw8;
    properties->imgFormats[1] = PlayerOneLibrary::Raw16;
    properties->imgFormats[2] = -1;
    return PlayerOneLibrary::Ok;
}

poa::ErrorCode POAOpenCamera(int cameraId) {
    return library().openCamera(cameraId);
}

poa::ErrorCode POAInitCamera(int cameraId) {
    return library().initCamera(cameraId);
}

poa::ErrorCode POAGetConfigsCount(int cameraId, int* count) {
    return library().getConfigsCount(cameraId, count);
}

poa::ErrorCode POAGetConfigAttributes(int cameraId, int configIndex,
                                      poa::ConfigAttributes* attributes) {
    PoaConfigAttributes read;
    const int error = library().getConfigAttributes(cameraId, configIndex, &read);
    if (error != PlayerOneLibrary::Ok)
        return error;
    *attributes = poa::ConfigAttributes{};
    copyDropInName(attributes->szConfName, read.name);
    copyDropInName(attributes->szDescription, read.description);
    attributes->isWritable = read.isWritable;
    attributes->isReadable = read.isReadable;
    attributes->configID = read.configId;
    switch (read.valueType) {
    case PoaConfigAttributes::Int:
        attributes->valueType = poa::ValInt;
        attributes->minValue.intValue = read.minInt;
        attributes->maxValue.intValue = read.maxInt;
        attributes->defaultValue.intValue = read.defaultInt;
        break;
    case PoaConfigAttributes::Float:
        attributes->valueType = poa::ValFloat;
        attributes->minValue.floatValue = read.minFloat;
        attributes->maxValue.floatValue = read.maxFloat;
        attributes->defaultValue.floatValue = read.defaultFloat;
        break;
    case PoaConfigAttributes::Bool:
        attributes->valueType = poa::ValBool;
        attributes->maxValue.boolValue = 1;
        attributes->defaultValue.boolValue = read.defaultBool;
        break;
    }
    return PlayerOneLibrary::Ok;
}

poa::ErrorCode POAGetConfig(int cameraId, int configId, poa::ConfigValue* value,
                            poa::Bool* isAuto) {
    PoaConfigValue read;
    bool automatic = false;
    const int error = library().getConfig(cameraId, configId, &read, &automatic);
    if (error != PlayerOneLibrary::Ok)
        return error;
    *value = poa::toRecord(poa::valueType(configId), read);
    *isAuto = automatic;
    return PlayerOneLibrary::Ok;
}

poa::ErrorCode POASetConfig(int cameraId, int configId, poa::ConfigValue value, poa::Bool isAuto) {
    return library().setConfig(cameraId, configId, poa::fromRecord(poa::valueType(configId), value),
                               isAuto != 0);
}

poa::ErrorCode POAGetCameraState(int cameraId, int* state) {
    return library().getCameraState(cameraId, state);
}

poa::ErrorCode POAStartExposure(int cameraId, poa::Bool singleFrame) {
    return library().startExposure(cameraId, singleFrame != 0);
}

poa::ErrorCode POAStopExposure(int cameraId) {
    return library().stopExposure(cameraId);
}

poa::ErrorCode POAGetImageStartPos(int cameraId, int* startX, int* startY) {
    return library().getImageStartPos(cameraId, startX, startY);
}

poa::ErrorCode POAGetImageSize(int cameraId, int* width, int* height) {
    const int error = library().getImageSize(cameraId, width, height);
    *width = sizeFault(*width);
    *height = sizeFault(*height);
    return error;
}

poa::ErrorCode POASetImageSize(int cameraId, int width, int height) {
    return library().setImageSize(cameraId, width, height);
}

poa::ErrorCode POASetImageBin(int cameraId, int bin) {
    return library().setImageBin(cameraId, bin);
}

poa::ErrorCode POASetImageFormat(int cameraId, int format) {
    return library().setImageFormat(cameraId, format);
}

poa::ErrorCode POAImageReady(int cameraId, poa::Bool* isReady) {
    bool ready = false;
    const int error = library().imageReady(cameraId, &ready);
    *isReady = ready;
    return error;
}

poa::ErrorCode POAGetImageData(int cameraId, unsigned char* buffer, long bufferSize,
                               int timeoutMs) {
    return library().getImageData(cameraId, buffer, bufferSize, timeoutMs);
}

const char* POAGetErrorString(poa::ErrorCode error) {
    return dropInFault("null-error-text") ? nullptr : library().getErrorString(error);
}
}

// The exports have the published types the binding calls them by.
static_assert(std::is_same_v<decltype(POAGetCameraCount), poa::GetCameraCount>);
static_assert(std::is_same_v<decltype(POAGetCameraProperties), poa::GetCameraProperties>);
static_assert(std::is_same_v<decltype(POAOpenCamera), poa::OpenCamera>);
static_assert(std::is_same_v<decltype(POAInitCamera), poa::InitCamera>);
static_assert(std::is_same_v<decltype(POAGetConfigsCount), poa::GetConfigsCount>);
static_assert(std::is_same_v<decltype(POAGetConfigAttributes), poa::GetConfigAttributes>);
static_assert(std::is_same_v<decltype(POAGetConfig), poa::GetConfig>);
static_assert(std::is_same_v<decltype(POASetConfig), poa::SetConfig>);
static_assert(std::is_same_v<decltype(POAGetCameraState), poa::GetCameraState>);
static_assert(std::is_same_v<decltype(POAStartExposure), poa::StartExposure>);
static_assert(std::is_same_v<decltype(POAStopExposure), poa::StopExposure>);
static_assert(std::is_same_v<decltype(POAGetImageStartPos), poa::GetImageStartPos>);
static_assert(std::is_same_v<decltype(POAGetImageSize), poa::GetImageSize>);
static_assert(std::is_same_v<decltype(POASetImageSize), poa::SetImageSize>);
static_assert(std::is_same_v<decltype(POASetImageBin), poa::SetImageBin>);
static_assert(std::is_same_v<decltype(POASetImageFormat), poa::SetImageFormat>);
static_assert(std::is_same_v<decltype(POAImageReady), poa::ImageReady>);
static_assert(std::is_same_v<decltype(POAGetImageData), poa::GetImageData>);
static_assert(std::is_same_v<decltype(POAGetErrorString), poa::GetErrorString>);
