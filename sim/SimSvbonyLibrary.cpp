#include "SimSvbonyLibrary.h"

#include "SimCallLog.h"
#include "SimCamera.h"

namespace {

constexpr int InvalidIndex = 1, InvalidId = 2, CameraClosed = 4, Timeout = 11;

struct ControlDescription {
    int type;
    const char* name;
    bool writable;
};

const ControlDescription controls[] = {
    {SvbonyLibrary::Gain, "Gain", true},
    {SvbonyLibrary::Exposure, "Exposure", true},
    {2, "Gamma", true},
    {SvbonyLibrary::BlackLevel, "Offset", true},
    {SvbonyLibrary::CoolerEnable, "Cooler Enable", true},
    {SvbonyLibrary::TargetTemperature, "Target Temperature", true},
    {SvbonyLibrary::CurrentTemperature, "Current Temperature", false},
};
constexpr int controlCount = int(sizeof controls / sizeof controls[0]);

} // namespace

SimSvbonyLibrary::SimSvbonyLibrary(QVector<SimCamera*> simCameras, SimCallLog& callLog)
    : cameras(std::move(simCameras))
    , log(callLog) {}

SimCamera* SimSvbonyLibrary::camera(int id) const {
    return SimCamera::withId(cameras, id);
}

int SimSvbonyLibrary::getNumOfConnectedCameras() {
    log.record("SVBGetNumOfConnectedCameras");
    return cameras.size();
}

int SimSvbonyLibrary::getCameraInfo(SvbCameraInfo* info, int index) {
    log.record(QString("SVBGetCameraInfo(%1)").arg(index));
    if (index < 0 || index >= cameras.size())
        return InvalidIndex;
    info->friendlyName = cameras.at(index)->model.name;
    info->serialNumber = "SIM" + std::to_string(cameras.at(index)->cameraId);
    info->portType = "USB3.0";
    info->deviceId = 0x9000u + unsigned(index);
    info->cameraId = cameras.at(index)->cameraId;
    return Ok;
}

int SimSvbonyLibrary::openCamera(int id) {
    log.record(QString("SVBOpenCamera(%1)").arg(id));
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    c->open();
    return Ok;
}

int SimSvbonyLibrary::closeCamera(int id) {
    log.record(QString("SVBCloseCamera(%1)").arg(id));
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    c->close();
    return Ok;
}

int SimSvbonyLibrary::getCameraProperty(int id, SvbCameraProperty* property) {
    SimCamera* c = camera(id);
    if (!c || !c->isOpen())
        return CameraClosed;
    property->maxWidth = c->model.width;
    property->maxHeight = c->model.height;
    property->isColorCam = c->model.isColor;
    property->bayerPattern = c->model.bayerPattern;
    property->supportedBins = {1, 2, 0};
    property->supportedVideoFormat = {Raw8, Raw16, -1};
    property->maxBitDepth = 16;
    property->isTriggerCam = true;
    return Ok;
}

int SimSvbonyLibrary::getCameraPropertyEx(int id, SvbCameraPropertyEx* property) {
    SimCamera* c = camera(id);
    if (!c || !c->isOpen())
        return CameraClosed;
    property->supportPulseGuide = true;
    property->supportControlTemp = c->model.hasCooler;
    return Ok;
}

int SimSvbonyLibrary::getNumOfControls(int id, int* count) {
    if (!camera(id))
        return InvalidId;
    *count = controlCount;
    return Ok;
}

int SimSvbonyLibrary::getControlCaps(int id, int index, SvbControlCaps* caps) {
    SimCamera* c = camera(id);
    if (!c || index < 0 || index >= controlCount)
        return InvalidIndex;
    const ControlDescription& d = controls[index];
    caps->name = d.name;
    caps->description = d.name;
    caps->controlType = d.type;
    caps->isWritable = d.writable;
    caps->minValue = 0;
    caps->maxValue = d.type == Gain ? c->model.gainMax : d.type == Exposure ? 2000000000 : 1000;
    caps->defaultValue = d.type == BlackLevel ? c->model.offset : 0;
    return Ok;
}

int SimSvbonyLibrary::getControlValue(int id, int type, long* value, bool* isAuto) {
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    *isAuto = false;
    switch (type) {
    case Gain:
        *value = c->gain();
        break;
    case Exposure:
        *value = c->exposureUs();
        break;
    case BlackLevel:
        *value = c->model.offset;
        break;
    case CoolerEnable:
        *value = c->coolerOn();
        break;
    case TargetTemperature:
        *value = long(c->targetTemperature() * 10);
        break;
    case CurrentTemperature:
        *value = long(c->sensorTemperature() * 10);
        break;
    default:
        *value = otherControls.value(type);
    }
    return Ok;
}

int SimSvbonyLibrary::setControlValue(int id, int type, long value, bool) {
    log.record(QString("SVBSetControlValue(%1, %2)").arg(type).arg(value));
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    switch (type) {
    case Gain:
        c->setGain(value);
        break;
    case Exposure:
        c->setExposureUs(value);
        break;
    case CoolerEnable:
        c->setCooler(value != 0);
        break;
    case TargetTemperature:
        c->setTargetTemperature(value / 10.0);
        break;
    default:
        otherControls[type] = value;
    }
    return Ok;
}

int SimSvbonyLibrary::setROIFormat(int id, int, int, int width, int height, int bin) {
    log.record(QString("SVBSetROIFormat(%1, %2, %3)").arg(width).arg(height).arg(bin));
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    c->setBin(bin);
    c->setSize(width, height);
    return Ok;
}

int SimSvbonyLibrary::setOutputImageType(int id, int type) {
    log.record(QString("SVBSetOutputImageType(%1)").arg(type));
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    c->setBits16(type == Raw16);
    return Ok;
}

int SimSvbonyLibrary::setCameraMode(int id, int mode) {
    log.record(QString("SVBSetCameraMode(%1)").arg(mode));
    if (!camera(id))
        return InvalidId;
    modes[id] = mode;
    return Ok;
}

int SimSvbonyLibrary::startVideoCapture(int id) {
    log.record("SVBStartVideoCapture");
    SimCamera* c = camera(id);
    if (!c || !c->isOpen())
        return CameraClosed;
    capturing[id] = true;
    if (modes.value(id) == Normal)
        c->startVideo();
    return Ok;
}

int SimSvbonyLibrary::stopVideoCapture(int id) {
    log.record("SVBStopVideoCapture");
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    capturing[id] = false;
    c->stop();
    return Ok;
}

int SimSvbonyLibrary::sendSoftTrigger(int id) {
    log.record("SVBSendSoftTrigger");
    SimCamera* c = camera(id);
    if (!c || !capturing.value(id) || modes.value(id) != SoftTrigger)
        return CameraClosed;
    c->startSingle();
    return Ok;
}

int SimSvbonyLibrary::getVideoData(int id, std::uint8_t* buffer, long bytes, int waitMs) {
    SimCamera* c = camera(id);
    if (!c || !capturing.value(id))
        return CameraClosed;
    if (c->readVideo(buffer, bytes, waitMs))
        return Ok;
    // A read ended by stopping the capture reports the camera closed, as the library does.
    return capturing.value(id) ? Timeout : CameraClosed;
}

int SimSvbonyLibrary::getDroppedFrames(int id, int* dropped) {
    if (!camera(id))
        return InvalidId;
    *dropped = 0;
    return Ok;
}

int SimSvbonyLibrary::canPulseGuide(int id, bool* can) {
    if (!camera(id))
        return InvalidId;
    *can = true;
    return Ok;
}

int SimSvbonyLibrary::setAutoSaveParam(int id, bool) {
    return camera(id) ? Ok : InvalidId;
}

int SimSvbonyLibrary::getCameraSupportMode(int id, std::vector<int>* supported) {
    if (!camera(id))
        return InvalidId;
    *supported = {Normal, SoftTrigger, -1};
    return Ok;
}
