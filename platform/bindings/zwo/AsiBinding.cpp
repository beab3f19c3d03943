#include "AsiBinding.h"

#include "AsiApi.h"
#include "ControlCapsRecord.h"

struct AsiBinding::Functions {
    asi::GetNumOfConnectedCameras* getNumOfConnectedCameras;
    asi::GetCameraProperty* getCameraProperty;
    asi::OpenCamera* openCamera;
    asi::InitCamera* initCamera;
    asi::SetStartPos* setStartPos;
    asi::GetNumOfControls* getNumOfControls;
    asi::GetControlCaps* getControlCaps;
    asi::GetControlValue* getControlValue;
    asi::SetControlValue* setControlValue;
    asi::SetROIFormat* setROIFormat;
    asi::StartExposure* startExposure;
    asi::StopExposure* stopExposure;
    asi::GetExpStatus* getExpStatus;
    asi::GetDataAfterExp* getDataAfterExp;
    asi::StartVideoCapture* startVideoCapture;
    asi::StopVideoCapture* stopVideoCapture;
    asi::GetVideoData* getVideoData;

    bool resolve(SharedLibrary& l) {
        return SharedLibrary::allFound({
            l.resolve(getNumOfConnectedCameras, "ASIGetNumOfConnectedCameras"),
            l.resolve(getCameraProperty, "ASIGetCameraProperty"),
            l.resolve(openCamera, "ASIOpenCamera"),
            l.resolve(initCamera, "ASIInitCamera"),
            l.resolve(setStartPos, "ASISetStartPos"),
            l.resolve(getNumOfControls, "ASIGetNumOfControls"),
            l.resolve(getControlCaps, "ASIGetControlCaps"),
            l.resolve(getControlValue, "ASIGetControlValue"),
            l.resolve(setControlValue, "ASISetControlValue"),
            l.resolve(setROIFormat, "ASISetROIFormat"),
            l.resolve(startExposure, "ASIStartExposure"),
            l.resolve(stopExposure, "ASIStopExposure"),
            l.resolve(getExpStatus, "ASIGetExpStatus"),
            l.resolve(getDataAfterExp, "ASIGetDataAfterExp"),
            l.resolve(startVideoCapture, "ASIStartVideoCapture"),
            l.resolve(stopVideoCapture, "ASIStopVideoCapture"),
            l.resolve(getVideoData, "ASIGetVideoData"),
        });
    }
};

AsiBinding::AsiBinding()
    : library("ASICamera2.dll", "ASICamera2")
    , values(library.fileName())
    , functions(library.resolveAll<Functions>()) {}

AsiBinding::~AsiBinding() = default;

int AsiBinding::getNumOfConnectedCameras() {
    return values.count(functions->getNumOfConnectedCameras());
}

int AsiBinding::getCameraProperty(AsiCameraInfo* info, int index) {
    asi::CameraInfo read{};
    const int error = functions->getCameraProperty(&read, index);
    if (error != Ok)
        return error;
    std::string name;
    if (!values.text(read.Name, sizeof read.Name, &name) ||
        !values.size(read.MaxWidth, read.MaxHeight))
        return NotAvailable;
    info->name = name;
    info->cameraId = read.CameraID;
    info->maxWidth = read.MaxWidth;
    info->maxHeight = read.MaxHeight;
    info->isColorCam = read.IsColorCam != 0;
    info->bayerPattern = read.BayerPattern;
    info->isCoolerCam = read.IsCoolerCam != 0;
    return Ok;
}

int AsiBinding::openCamera(int id) {
    return functions->openCamera(id);
}

int AsiBinding::initCamera(int id) {
    return functions->initCamera(id);
}

int AsiBinding::setStartPos(int id, int x, int y) {
    return functions->setStartPos(id, x, y);
}

int AsiBinding::getNumOfControls(int id, int* count) {
    int read = 0;
    const int error = functions->getNumOfControls(id, &read);
    *count = values.count(read);
    return error;
}

int AsiBinding::getControlCaps(int id, int index, AsiControlCaps* caps) {
    asi::ControlCaps read{};
    const int error = functions->getControlCaps(id, index, &read);
    if (error != Ok)
        return error;
    return takeControlCaps(read, values, caps) ? Ok : NotAvailable;
}

int AsiBinding::getControlValue(int id, int type, long* value, bool* isAuto) {
    asi::Bool automatic = 0;
    const int error = functions->getControlValue(id, type, value, &automatic);
    *isAuto = automatic != 0;
    return error;
}

int AsiBinding::setControlValue(int id, int type, long value, bool isAuto) {
    return functions->setControlValue(id, type, value, isAuto ? 1 : 0);
}

int AsiBinding::setROIFormat(int id, int width, int height, int bin, int type) {
    return functions->setROIFormat(id, width, height, bin, type);
}

int AsiBinding::startExposure(int id, bool isDark) {
    return functions->startExposure(id, isDark ? 1 : 0);
}

int AsiBinding::stopExposure(int id) {
    return functions->stopExposure(id);
}

int AsiBinding::getExpStatus(int id, int* status) {
    return functions->getExpStatus(id, status);
}

int AsiBinding::getDataAfterExp(int id, std::uint8_t* buffer, long bytes) {
    return functions->getDataAfterExp(id, buffer, bytes);
}

int AsiBinding::startVideoCapture(int id) {
    return functions->startVideoCapture(id);
}

int AsiBinding::stopVideoCapture(int id) {
    return functions->stopVideoCapture(id);
}

int AsiBinding::getVideoData(int id, std::uint8_t* buffer, long bytes, int waitMs) {
    return functions->getVideoData(id, buffer, bytes, waitMs);
}
