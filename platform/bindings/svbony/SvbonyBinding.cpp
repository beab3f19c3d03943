#include "SvbonyBinding.h"

#include "ControlCapsRecord.h"
#include "SvbonyApi.h"

#include <algorithm>

namespace {

// A list the library ends with a marker in a fixed array, up to and with its marker; a full
// array without one gets it added, so the list always ends with it.
template <std::size_t size> std::vector<int> untilEnd(const int (&array)[size], int end) {
    const int* last = std::find(array, array + size, end);
    std::vector<int> list(array, last);
    list.push_back(end);
    return list;
}

} // namespace

struct SvbonyBinding::Functions {
    svb::GetNumOfConnectedCameras* getNumOfConnectedCameras;
    svb::GetCameraInfo* getCameraInfo;
    svb::OpenCamera* openCamera;
    svb::CloseCamera* closeCamera;
    svb::GetCameraProperty* getCameraProperty;
    svb::GetCameraPropertyEx* getCameraPropertyEx;
    svb::GetNumOfControls* getNumOfControls;
    svb::GetControlCaps* getControlCaps;
    svb::GetControlValue* getControlValue;
    svb::SetControlValue* setControlValue;
    svb::SetROIFormat* setROIFormat;
    svb::SetOutputImageType* setOutputImageType;
    svb::SetCameraMode* setCameraMode;
    svb::StartVideoCapture* startVideoCapture;
    svb::StopVideoCapture* stopVideoCapture;
    svb::SendSoftTrigger* sendSoftTrigger;
    svb::GetVideoData* getVideoData;
    svb::GetDroppedFrames* getDroppedFrames;
    svb::CanPulseGuide* canPulseGuide;
    svb::SetAutoSaveParam* setAutoSaveParam;
    svb::GetCameraSupportMode* getCameraSupportMode;

    bool resolve(SharedLibrary& l) {
        return SharedLibrary::allFound({
            l.resolve(getNumOfConnectedCameras, "SVBGetNumOfConnectedCameras"),
            l.resolve(getCameraInfo, "SVBGetCameraInfo"),
            l.resolve(openCamera, "SVBOpenCamera"),
            l.resolve(closeCamera, "SVBCloseCamera"),
            l.resolve(getCameraProperty, "SVBGetCameraProperty"),
            l.resolve(getCameraPropertyEx, "SVBGetCameraPropertyEx"),
            l.resolve(getNumOfControls, "SVBGetNumOfControls"),
            l.resolve(getControlCaps, "SVBGetControlCaps"),
            l.resolve(getControlValue, "SVBGetControlValue"),
            l.resolve(setControlValue, "SVBSetControlValue"),
            l.resolve(setROIFormat, "SVBSetROIFormat"),
            l.resolve(setOutputImageType, "SVBSetOutputImageType"),
            l.resolve(setCameraMode, "SVBSetCameraMode"),
            l.resolve(startVideoCapture, "SVBStartVideoCapture"),
            l.resolve(stopVideoCapture, "SVBStopVideoCapture"),
            l.resolve(sendSoftTrigger, "SVBSendSoftTrigger"),
            l.resolve(getVideoData, "SVBGetVideoData"),
            l.resolve(getDroppedFrames, "SVBGetDroppedFrames"),
            l.resolve(canPulseGuide, "SVBCanPulseGuide"),
            l.resolve(setAutoSaveParam, "SVBSetAutoSaveParam"),
            l.resolve(getCameraSupportMode, "SVBGetCameraSupportMode"),
        });
    }
};

SvbonyBinding::SvbonyBinding()
    : library("SVBCameraSDK.dll", "SVBCameraSDK")
    , values(library.fileName())
    , functions(library.resolveAll<Functions>()) {}

SvbonyBinding::~SvbonyBinding() = default;

int SvbonyBinding::getNumOfConnectedCameras() {
    return values.count(functions->getNumOfConnectedCameras());
}

int SvbonyBinding::getCameraInfo(SvbCameraInfo* info, int index) {
    svb::CameraInfo read{};
    const int error = functions->getCameraInfo(&read, index);
    if (error != Ok)
        return error;
    if (!values.text(read.FriendlyName, sizeof read.FriendlyName, &info->friendlyName) ||
        !values.text(read.CameraSN, sizeof read.CameraSN, &info->serialNumber) ||
        !values.text(read.PortType, sizeof read.PortType, &info->portType))
        return NotAvailable;
    info->deviceId = read.DeviceID;
    info->cameraId = read.CameraID;
    return Ok;
}

int SvbonyBinding::openCamera(int id) {
    return functions->openCamera(id);
}

int SvbonyBinding::closeCamera(int id) {
    return functions->closeCamera(id);
}

int SvbonyBinding::getCameraProperty(int id, SvbCameraProperty* property) {
    svb::CameraProperty read{};
    const int error = functions->getCameraProperty(id, &read);
    if (error != Ok)
        return error;
    if (!values.size(read.MaxWidth, read.MaxHeight))
        return NotAvailable;
    property->maxHeight = read.MaxHeight;
    property->maxWidth = read.MaxWidth;
    property->isColorCam = read.IsColorCam != 0;
    property->bayerPattern = read.BayerPattern;
    property->supportedBins = untilEnd(read.SupportedBins, 0);
    property->supportedVideoFormat = untilEnd(read.SupportedVideoFormat, -1);
    property->maxBitDepth = read.MaxBitDepth;
    property->isTriggerCam = read.IsTriggerCam != 0;
    return Ok;
}

int SvbonyBinding::getCameraPropertyEx(int id, SvbCameraPropertyEx* property) {
    svb::CameraPropertyEx read{};
    const int error = functions->getCameraPropertyEx(id, &read);
    if (error != Ok)
        return error;
    property->supportPulseGuide = read.bSupportPulseGuide != 0;
    property->supportControlTemp = read.bSupportControlTemp != 0;
    return Ok;
}

int SvbonyBinding::getNumOfControls(int id, int* count) {
    int read = 0;
    const int error = functions->getNumOfControls(id, &read);
    *count = values.count(read);
    return error;
}

int SvbonyBinding::getControlCaps(int id, int index, SvbControlCaps* caps) {
    svb::ControlCaps read{};
    const int error = functions->getControlCaps(id, index, &read);
    if (error != Ok)
        return error;
    return takeControlCaps(read, values, caps) ? Ok : NotAvailable;
}

int SvbonyBinding::getControlValue(int id, int type, long* value, bool* isAuto) {
    svb::Bool automatic = 0;
    const int error = functions->getControlValue(id, type, value, &automatic);
    *isAuto = automatic != 0;
    return error;
}

int SvbonyBinding::setControlValue(int id, int type, long value, bool isAuto) {
    return functions->setControlValue(id, type, value, isAuto ? 1 : 0);
}

int SvbonyBinding::setROIFormat(int id, int x, int y, int width, int height, int bin) {
    return functions->setROIFormat(id, x, y, width, height, bin);
}

int SvbonyBinding::setOutputImageType(int id, int type) {
    return functions->setOutputImageType(id, type);
}

int SvbonyBinding::setCameraMode(int id, int mode) {
    return functions->setCameraMode(id, mode);
}

int SvbonyBinding::startVideoCapture(int id) {
    return functions->startVideoCapture(id);
}

int SvbonyBinding::stopVideoCapture(int id) {
    return functions->stopVideoCapture(id);
}

int SvbonyBinding::sendSoftTrigger(int id) {
    return functions->sendSoftTrigger(id);
}

int SvbonyBinding::getVideoData(int id, std::uint8_t* buffer, long bytes, int waitMs) {
    return functions->getVideoData(id, buffer, bytes, waitMs);
}

int SvbonyBinding::getDroppedFrames(int id, int* dropped) {
    return functions->getDroppedFrames(id, dropped);
}

int SvbonyBinding::canPulseGuide(int id, bool* can) {
    svb::Bool read = 0;
    const int error = functions->canPulseGuide(id, &read);
    *can = read != 0;
    return error;
}

int SvbonyBinding::setAutoSaveParam(int id, bool enable) {
    return functions->setAutoSaveParam(id, enable ? 1 : 0);
}

int SvbonyBinding::getCameraSupportMode(int id, std::vector<int>* modes) {
    svb::SupportedMode read{};
    const int error = functions->getCameraSupportMode(id, &read);
    if (error != Ok)
        return error;
    *modes = untilEnd(read.SupportedCameraMode, -1);
    return Ok;
}
