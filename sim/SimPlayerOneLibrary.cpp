#include "SimPlayerOneLibrary.h"

#include "SimCallLog.h"
#include "SimCamera.h"

namespace {

constexpr int InvalidId = 2, NotOpened = 3, Timeout = 4, InvalidIndex = 5;

struct ConfigDescription {
    int id;
    const char* name;
    PoaConfigAttributes::ValueType type;
};

const ConfigDescription configs[] = {
    {PlayerOneLibrary::Exposure, "Exposure", PoaConfigAttributes::Int},
    {PlayerOneLibrary::Gain, "Gain", PoaConfigAttributes::Int},
    {PlayerOneLibrary::Temperature, "Temperature", PoaConfigAttributes::Float},
    {PlayerOneLibrary::Offset, "Offset", PoaConfigAttributes::Int},
    {PlayerOneLibrary::TargetTemperature, "TargetTemperature", PoaConfigAttributes::Int},
    {PlayerOneLibrary::Cooler, "CoolerOn", PoaConfigAttributes::Bool},
};

} // namespace

SimPlayerOneLibrary::SimPlayerOneLibrary(QVector<SimCamera*> simCameras, SimCallLog& callLog)
    : cameras(std::move(simCameras))
    , log(callLog) {}

SimCamera* SimPlayerOneLibrary::camera(int id) const {
    return SimCamera::withId(cameras, id);
}

int SimPlayerOneLibrary::getCameraCount() {
    log.record("POAGetCameraCount");
    return cameras.size();
}

int SimPlayerOneLibrary::getCameraProperties(int index, PoaCameraProperties* out) {
    log.record(QString("POAGetCameraProperties(%1)").arg(index));
    if (index < 0 || index >= cameras.size())
        return InvalidIndex;
    const SimCameraModel& m = cameras.at(index)->model;
    out->cameraModelName = m.name;
    out->sensorModelName = m.sensorName;
    out->serialNumber = "SIM" + std::to_string(cameras.at(index)->cameraId);
    out->cameraId = cameras.at(index)->cameraId;
    out->maxWidth = m.width;
    out->maxHeight = m.height;
    out->isColorCamera = m.isColor;
    out->isHasCooler = m.hasCooler;
    out->bayerPattern = m.bayerPattern;
    out->bins = {1, 2, 3, 4};
    return Ok;
}

int SimPlayerOneLibrary::openCamera(int id) {
    log.record(QString("POAOpenCamera(%1)").arg(id));
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    c->open();
    return Ok;
}

int SimPlayerOneLibrary::initCamera(int id) {
    log.record(QString("POAInitCamera(%1)").arg(id));
    return camera(id) && camera(id)->isOpen() ? Ok : NotOpened;
}

int SimPlayerOneLibrary::getConfigsCount(int id, int* count) {
    if (!camera(id))
        return InvalidId;
    *count = int(sizeof configs / sizeof configs[0]);
    return Ok;
}

int SimPlayerOneLibrary::getConfigAttributes(int id, int index, PoaConfigAttributes* out) {
    SimCamera* c = camera(id);
    if (!c || index < 0 || index >= int(sizeof configs / sizeof configs[0]))
        return InvalidIndex;
    const ConfigDescription& d = configs[index];
    out->name = d.name;
    out->description = d.name;
    out->configId = d.id;
    out->valueType = d.type;
    out->isReadable = true;
    out->isWritable = d.id != Temperature;
    if (d.id == Gain) {
        out->minInt = 0;
        out->maxInt = c->model.gainMax;
    } else if (d.id == Exposure) {
        out->minInt = 10;
        out->maxInt = 2000000000;
    }
    return Ok;
}

int SimPlayerOneLibrary::getConfig(int id, int config, PoaConfigValue* value, bool* isAuto) {
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    *isAuto = false;
    switch (config) {
    case Exposure:
        value->intValue = c->exposureUs();
        break;
    case Gain:
        value->intValue = c->gain();
        break;
    case Temperature:
        value->floatValue = c->sensorTemperature();
        break;
    case Offset:
        value->intValue = c->model.offset;
        break;
    case TargetTemperature:
        value->intValue = long(c->targetTemperature());
        break;
    case Cooler:
        value->boolValue = c->coolerOn();
        break;
    default:
        return InvalidIndex;
    }
    return Ok;
}

int SimPlayerOneLibrary::setConfig(int id, int config, PoaConfigValue value, bool) {
    SimCamera* c = camera(id);
    const long shown = config == Cooler ? long(value.boolValue) : value.intValue;
    log.record(QString("POASetConfig(%1, %2)").arg(config).arg(shown));
    if (!c)
        return InvalidId;
    switch (config) {
    case Exposure:
        c->setExposureUs(value.intValue);
        break;
    case Gain:
        c->setGain(value.intValue);
        break;
    case TargetTemperature:
        c->setTargetTemperature(double(value.intValue));
        break;
    case Cooler:
        c->setCooler(value.boolValue);
        break;
    default:
        return InvalidIndex;
    }
    return Ok;
}

int SimPlayerOneLibrary::getCameraState(int id, int* state) {
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    *state = !c->isOpen() ? Closed : c->isExposing() ? Exposing : Opened;
    log.record(QString("POAGetCameraState -> %1").arg(*state));
    return Ok;
}

int SimPlayerOneLibrary::startExposure(int id, bool singleFrame) {
    log.record(QString("POAStartExposure(%1)").arg(singleFrame ? "single" : "video"));
    SimCamera* c = camera(id);
    if (!c || !c->isOpen())
        return NotOpened;
    if (singleFrame)
        c->startSingle();
    else
        c->startVideo();
    return Ok;
}

int SimPlayerOneLibrary::stopExposure(int id) {
    log.record("POAStopExposure");
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    c->stop();
    return Ok;
}

int SimPlayerOneLibrary::getImageStartPos(int id, int* x, int* y) {
    if (!camera(id))
        return InvalidId;
    *x = 0;
    *y = 0;
    return Ok;
}

int SimPlayerOneLibrary::getImageSize(int id, int* w, int* h) {
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    *w = c->frameWidth();
    *h = c->frameHeight();
    return Ok;
}

int SimPlayerOneLibrary::setImageSize(int id, int w, int h) {
    log.record(QString("POASetImageSize(%1, %2)").arg(w).arg(h));
    if (!camera(id))
        return InvalidId;
    camera(id)->setSize(w, h);
    return Ok;
}

int SimPlayerOneLibrary::setImageBin(int id, int b) {
    log.record(QString("POASetImageBin(%1)").arg(b));
    if (!camera(id))
        return InvalidId;
    camera(id)->setBin(b);
    return Ok;
}

int SimPlayerOneLibrary::setImageFormat(int id, int format) {
    log.record(QString("POASetImageFormat(%1)").arg(format));
    if (!camera(id))
        return InvalidId;
    camera(id)->setBits16(format == Raw16);
    return Ok;
}

int SimPlayerOneLibrary::imageReady(int id, bool* ready) {
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    *ready = c->imageReady();
    return Ok;
}

int SimPlayerOneLibrary::getImageData(int id, std::uint8_t* buffer, long bytes, int timeoutMs) {
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    const bool ok =
        c->isVideoRunning() ? c->readVideo(buffer, bytes, timeoutMs) : c->readSingle(buffer, bytes);
    return ok ? Ok : Timeout;
}

const char* SimPlayerOneLibrary::getErrorString(int error) {
    switch (error) {
    case Ok:
        return "OK";
    case InvalidId:
        return "INVALID_ID";
    case NotOpened:
        return "NOT_OPENED";
    case Timeout:
        return "TIMEOUT";
    default:
        return "INVALID_ARGU";
    }
}
