#include "PlayerOneBinding.h"

#include "PlayerOneApi.h"
#include "PlayerOneConfigValue.h"

#include <cstring>

namespace {

// The longest error text taken from the library.
constexpr std::size_t errorTextLength = 127;

} // namespace

struct PlayerOneBinding::Functions {
    poa::GetCameraCount* getCameraCount;
    poa::GetCameraProperties* getCameraProperties;
    poa::OpenCamera* openCamera;
    poa::InitCamera* initCamera;
    poa::GetConfigsCount* getConfigsCount;
    poa::GetConfigAttributes* getConfigAttributes;
    poa::GetConfig* getConfig;
    poa::SetConfig* setConfig;
    poa::GetCameraState* getCameraState;
    poa::StartExposure* startExposure;
    poa::StopExposure* stopExposure;
    poa::GetImageStartPos* getImageStartPos;
    poa::GetImageSize* getImageSize;
    poa::SetImageSize* setImageSize;
    poa::SetImageBin* setImageBin;
    poa::SetImageFormat* setImageFormat;
    poa::ImageReady* imageReady;
    poa::GetImageData* getImageData;
    poa::GetErrorString* getErrorString;

    bool resolve(SharedLibrary& l) {
        return SharedLibrary::allFound({
            l.resolve(getCameraCount, "POAGetCameraCount"),
            l.resolve(getCameraProperties, "POAGetCameraProperties"),
            l.resolve(openCamera, "POAOpenCamera"),
            l.resolve(initCamera, "POAInitCamera"),
            l.resolve(getConfigsCount, "POAGetConfigsCount"),
            l.resolve(getConfigAttributes, "POAGetConfigAttributes"),
            l.resolve(getConfig, "POAGetConfig"),
            l.resolve(setConfig, "POASetConfig"),
            l.resolve(getCameraState, "POAGetCameraState"),
            l.resolve(startExposure, "POAStartExposure"),
            l.resolve(stopExposure, "POAStopExposure"),
            l.resolve(getImageStartPos, "POAGetImageStartPos"),
            l.resolve(getImageSize, "POAGetImageSize"),
            l.resolve(setImageSize, "POASetImageSize"),
            l.resolve(setImageBin, "POASetImageBin"),
            l.resolve(setImageFormat, "POASetImageFormat"),
            l.resolve(imageReady, "POAImageReady"),
            l.resolve(getImageData, "POAGetImageData"),
            l.resolve(getErrorString, "POAGetErrorString"),
        });
    }
};

PlayerOneBinding::PlayerOneBinding()
    : library("PlayerOneCamera.dll", "PlayerOneCamera")
    , values(library.fileName())
    , functions(library.resolveAll<Functions>()) {}

PlayerOneBinding::~PlayerOneBinding() = default;

int PlayerOneBinding::getCameraCount() {
    return values.count(functions->getCameraCount());
}

int PlayerOneBinding::getCameraProperties(int index, PoaCameraProperties* properties) {
    poa::CameraProperties read{};
    const int error = functions->getCameraProperties(index, &read);
    if (error != Ok)
        return error;
    PoaCameraProperties checked;
    if (!values.text(read.cameraModelName, sizeof read.cameraModelName, &checked.cameraModelName) ||
        !values.text(read.sensorModelName, sizeof read.sensorModelName, &checked.sensorModelName) ||
        !values.text(read.SN, sizeof read.SN, &checked.serialNumber) ||
        !values.size(read.maxWidth, read.maxHeight))
        return NotAvailable;
    checked.cameraId = read.cameraID;
    checked.maxWidth = read.maxWidth;
    checked.maxHeight = read.maxHeight;
    checked.isColorCamera = read.isColorCamera != 0;
    checked.isHasCooler = read.isHasCooler != 0;
    checked.bayerPattern = read.bayerPattern;
    for (int bin : read.bins) {
        if (bin <= 0)
            break;
        checked.bins.push_back(bin);
    }
    *properties = std::move(checked);
    return Ok;
}

int PlayerOneBinding::openCamera(int id) {
    return functions->openCamera(id);
}

int PlayerOneBinding::initCamera(int id) {
    return functions->initCamera(id);
}

int PlayerOneBinding::getConfigsCount(int id, int* count) {
    int read = 0;
    const int error = functions->getConfigsCount(id, &read);
    *count = values.count(read);
    return error;
}

int PlayerOneBinding::getConfigAttributes(int id, int index, PoaConfigAttributes* attributes) {
    poa::ConfigAttributes read{};
    const int error = functions->getConfigAttributes(id, index, &read);
    if (error != Ok)
        return error;
    if (!values.within("value type", read.valueType, poa::ValInt, poa::ValBool))
        return NotAvailable;
    if (!values.text(read.szConfName, sizeof read.szConfName, &attributes->name) ||
        !values.text(read.szDescription, sizeof read.szDescription, &attributes->description))
        return NotAvailable;
    const auto type = static_cast<poa::ValueType>(read.valueType);
    const PoaConfigValue min = poa::fromRecord(type, read.minValue);
    const PoaConfigValue max = poa::fromRecord(type, read.maxValue);
    const PoaConfigValue standard = poa::fromRecord(type, read.defaultValue);
    attributes->configId = read.configID;
    attributes->valueType = type == poa::ValFloat  ? PoaConfigAttributes::Float
                            : type == poa::ValBool ? PoaConfigAttributes::Bool
                                                   : PoaConfigAttributes::Int;
    attributes->isWritable = read.isWritable != 0;
    attributes->isReadable = read.isReadable != 0;
    attributes->minInt = min.intValue;
    attributes->maxInt = max.intValue;
    attributes->defaultInt = standard.intValue;
    attributes->minFloat = min.floatValue;
    attributes->maxFloat = max.floatValue;
    attributes->defaultFloat = standard.floatValue;
    attributes->defaultBool = standard.boolValue;
    return Ok;
}

int PlayerOneBinding::getConfig(int id, int config, PoaConfigValue* value, bool* isAuto) {
    poa::ConfigValue read{};
    poa::Bool automatic = 0;
    const int error = functions->getConfig(id, config, &read, &automatic);
    if (error != Ok)
        return error;
    *value = poa::fromRecord(poa::valueType(config), read);
    *isAuto = automatic != 0;
    return Ok;
}

int PlayerOneBinding::setConfig(int id, int config, PoaConfigValue value, bool isAuto) {
    return functions->setConfig(id, config, poa::toRecord(poa::valueType(config), value),
                                isAuto ? 1 : 0);
}

int PlayerOneBinding::getCameraState(int id, int* state) {
    return functions->getCameraState(id, state);
}

int PlayerOneBinding::startExposure(int id, bool singleFrame) {
    return functions->startExposure(id, singleFrame ? 1 : 0);
}

int PlayerOneBinding::stopExposure(int id) {
    return functions->stopExposure(id);
}

int PlayerOneBinding::getImageStartPos(int id, int* x, int* y) {
    return functions->getImageStartPos(id, x, y);
}

int PlayerOneBinding::getImageSize(int id, int* width, int* height) {
    int readWidth = 0, readHeight = 0;
    const int error = functions->getImageSize(id, &readWidth, &readHeight);
    if (error != Ok)
        return error;
    if (!values.size(readWidth, readHeight))
        return NotAvailable;
    *width = readWidth;
    *height = readHeight;
    return Ok;
}

int PlayerOneBinding::setImageSize(int id, int width, int height) {
    return functions->setImageSize(id, width, height);
}

int PlayerOneBinding::setImageBin(int id, int bin) {
    return functions->setImageBin(id, bin);
}

int PlayerOneBinding::setImageFormat(int id, int format) {
    return functions->setImageFormat(id, format);
}

int PlayerOneBinding::imageReady(int id, bool* ready) {
    poa::Bool read = 0;
    const int error = functions->imageReady(id, &read);
    *ready = read != 0;
    return error;
}

int PlayerOneBinding::getImageData(int id, std::uint8_t* buffer, long bytes, int timeoutMs) {
    return functions->getImageData(id, buffer, bytes, timeoutMs);
}

// No more than errorTextLength of a text is taken, so that one without its end cannot run on
// through the log line.
const char* PlayerOneBinding::getErrorString(int error) {
    const char* text = functions->getErrorString(error);
    if (!text)
        return "Error";
    QMutexLocker lock(&errorTextsMutex);
    const auto kept = errorTexts.try_emplace(error, text, strnlen(text, errorTextLength)).first;
    return kept->second.c_str();
}
