#include "SimAsiLibrary.h"

#include "SimCallLog.h"
#include "SimCamera.h"

namespace {

constexpr int InvalidIndex = 1, InvalidId = 2, CameraClosed = 4, Timeout = 11;

const char* const controlNames[] = {
    "Gain",        "Exposure",       "Gamma",           "WB_R",
    "WB_B",        "Offset",         "BandWidth",       "Flip",
    "Temperature", "AutoExpMaxGain", "AutoExpMaxExpMS", "AutoExpTargetBrightness",
    "HardwareBin", "HighSpeedMode",  "CoolPowerPerc",   "TargetTemp",
    "CoolerOn",    "MonoBin",        "FanOn",           "AntiDewHeater"};
constexpr int controlCount = int(sizeof controlNames / sizeof controlNames[0]);
constexpr int offsetControl = 5;

} // namespace

SimAsiLibrary::SimAsiLibrary(QVector<SimCamera*> simCameras, SimCallLog& callLog)
    : cameras(std::move(simCameras))
    , log(callLog)
    , otherControls(controlCount, 0) {}

SimCamera* SimAsiLibrary::camera(int id) const {
    return SimCamera::withId(cameras, id);
}

int SimAsiLibrary::getNumOfConnectedCameras() {
    log.record("ASIGetNumOfConnectedCameras");
    return cameras.size();
}

int SimAsiLibrary::getCameraProperty(AsiCameraInfo* info, int index) {
    log.record(QString("ASIGetCameraProperty(%1)").arg(index));
    if (index < 0 || index >= cameras.size())
        return InvalidIndex;
    const SimCameraModel& m = cameras.at(index)->model;
    info->name = m.name;
    info->cameraId = cameras.at(index)->cameraId;
    info->maxWidth = m.width;
    info->maxHeight = m.height;
    info->isColorCam = m.isColor;
    info->bayerPattern = m.bayerPattern;
    info->isCoolerCam = m.hasCooler;
    return Ok;
}

int SimAsiLibrary::openCamera(int id) {
    log.record(QString("ASIOpenCamera(%1)").arg(id));
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    c->open();
    return Ok;
}

int SimAsiLibrary::initCamera(int id) {
    log.record(QString("ASIInitCamera(%1)").arg(id));
    return camera(id) && camera(id)->isOpen() ? Ok : CameraClosed;
}

int SimAsiLibrary::setStartPos(int id, int, int) {
    return camera(id) ? Ok : InvalidId;
}

int SimAsiLibrary::getNumOfControls(int id, int* count) {
    if (!camera(id))
        return InvalidId;
    *count = controlCount;
    return Ok;
}

int SimAsiLibrary::getControlCaps(int id, int index, AsiControlCaps* caps) {
    SimCamera* c = camera(id);
    if (!c || index < 0 || index >= controlCount)
        return InvalidIndex;
    caps->name = controlNames[index];
    caps->description = controlNames[index];
    caps->controlType = index;
    caps->isWritable = index != Temperature;
    caps->minValue = 0;
    caps->maxValue = index == Gain ? c->model.gainMax : index == Exposure ? 2000000000 : 1000;
    caps->defaultValue = index == offsetControl ? c->model.offset : 0;
    return Ok;
}

int SimAsiLibrary::getControlValue(int id, int type, long* value, bool* isAuto) {
    SimCamera* c = camera(id);
    if (!c || type < 0 || type >= controlCount)
        return InvalidIndex;
    *isAuto = false;
    switch (type) {
    case Gain:
        *value = c->gain();
        break;
    case Exposure:
        *value = c->exposureUs();
        break;
    case offsetControl:
        *value = c->model.offset;
        break;
    case Temperature:
        *value = long(c->sensorTemperature() * 10);
        break;
    case TargetTemperature:
        *value = long(c->targetTemperature());
        break;
    case CoolerOn:
        *value = c->coolerOn();
        break;
    default:
        *value = otherControls.at(type);
    }
    return Ok;
}

int SimAsiLibrary::setControlValue(int id, int type, long value, bool) {
    log.record(QString("ASISetControlValue(%1, %2)").arg(type).arg(value));
    SimCamera* c = camera(id);
    if (!c || type < 0 || type >= controlCount)
        return InvalidIndex;
    switch (type) {
    case Gain:
        c->setGain(value);
        break;
    case Exposure:
        c->setExposureUs(value);
        break;
    case TargetTemperature:
        c->setTargetTemperature(double(value));
        break;
    case CoolerOn:
        c->setCooler(value != 0);
        break;
    default:
        otherControls[type] = value;
    }
    return Ok;
}

int SimAsiLibrary::setROIFormat(int id, int width, int height, int bin, int type) {
    log.record(
        QString("ASISetROIFormat(%1, %2, %3, %4)").arg(width).arg(height).arg(bin).arg(type));
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    c->setFormat(width, height, bin, type == Raw16);
    return Ok;
}

int SimAsiLibrary::startExposure(int id, bool) {
    log.record("ASIStartExposure");
    SimCamera* c = camera(id);
    if (!c || !c->isOpen())
        return CameraClosed;
    c->startSingle();
    return Ok;
}

int SimAsiLibrary::stopExposure(int id) {
    log.record("ASIStopExposure");
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    c->stop();
    return Ok;
}

int SimAsiLibrary::getExpStatus(int id, int* status) {
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    *status = c->isExposing() ? Working : c->imageReady() ? Success : Idle;
    return Ok;
}

int SimAsiLibrary::getDataAfterExp(int id, std::uint8_t* buffer, long bytes) {
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    return c->readSingle(buffer, bytes) ? Ok : Timeout;
}

int SimAsiLibrary::startVideoCapture(int id) {
    log.record("ASIStartVideoCapture");
    SimCamera* c = camera(id);
    if (!c || !c->isOpen())
        return CameraClosed;
    c->startVideo();
    return Ok;
}

int SimAsiLibrary::stopVideoCapture(int id) {
    log.record("ASIStopVideoCapture");
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    c->stop();
    return Ok;
}

int SimAsiLibrary::getVideoData(int id, std::uint8_t* buffer, long bytes, int waitMs) {
    SimCamera* c = camera(id);
    if (!c)
        return InvalidId;
    return c->readVideo(buffer, bytes, waitMs) ? Ok : Timeout;
}
