// The simulated SVBONY cameras as a drop-in for the maker's library (libSVBCameraSDK): its C
// functions, with the maker's names, arguments and records.
#include "DropInControlCaps.h"
#include "DropInName.h"
#include "DropInObservatory.h"
#include "SvbonyApi.h"
#include "SvbonyLibrary.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace {

SvbonyLibrary& library() {
    return *dropInLibraries().svbony;
}

// A list into a fixed array that the library ends with a marker; the rest holds the marker.
template <std::size_t size>
void copyList(int (&array)[size], const std::vector<int>& list, int end) {
    std::fill(array, array + size, end);
    std::copy_n(list.begin(), std::min(list.size(), size), array);
}

} // namespace

extern "C" {

int SVBGetNumOfConnectedCameras() {
    return dropInFault("negative-count") ? -3 : library().getNumOfConnectedCameras();
}

svb::ErrorCode SVBGetCameraInfo(svb::CameraInfo* info, int cameraIndex) {
    SvbCameraInfo read;
    const int error = library().getCameraInfo(&read, cameraIndex);
    if (error != SvbonyLibrary::Ok)
        return error;
    *info = svb::CameraInfo{};
    copyDropInName(info->FriendlyName, read.friendlyName);
    copyDropInName(info->CameraSN, read.serialNumber);
    copyDropInName(info->PortType, read.portType);
    info->DeviceID = read.deviceId;
    info->CameraID = read.cameraId;
    return SvbonyLibrary::Ok;
}

svb::ErrorCode SVBOpenCamera(int cameraId) {
    return library().openCamera(cameraId);
}

svb::ErrorCode SVBCloseCamera(int cameraId) {
    return library().closeCamera(cameraId);
}

svb::ErrorCode SVBGetCameraProperty(int cameraId, svb::CameraProperty* property) {
    SvbCameraProperty read;
    const int error = library().getCameraProperty(cameraId, &read);
    if (error != SvbonyLibrary::Ok)
        return error;
    *property = svb::CameraProperty{};
    property->MaxWidth = dropInFault("zero-size") ? 0
                         : dropInFault("wide")    ? 100000
                                                  : read.maxWidth;
    property->MaxHeight = dropInFault("zero-size") ? 0 : read.maxHeight;
    property->IsColorCam = read.isColorCam;
    property->BayerPattern = read.bayerPattern;
    copyList(property->SupportedBins, read.supportedBins, 0);
    copyList(property->SupportedVideoFormat, read.supportedVideoFormat, -1);
    property->MaxBitDepth = read.maxBitDepth;
    property->IsTriggerCam = read.isTriggerCam;
    return SvbonyLibrary::Ok;
}

svb::ErrorCode SVBGetCameraPropertyEx(int cameraId, svb::CameraPropertyEx* property) {
    SvbCameraPropertyEx read;
    const int error = library().getCameraPropertyEx(cameraId, &read);
    if (error != SvbonyLibrary::Ok)
        return error;
    *property = svb::CameraPropertyEx{};
    property->bSupportPulseGuide = read.supportPulseGuide;
    property->bSupportControlTemp = read.supportControlTemp;
    return SvbonyLibrary::Ok;
}

svb::ErrorCode SVBGetNumOfControls(int cameraId, int* numberOfControls) {
    return library().getNumOfControls(cameraId, numberOfControls);
}

svb::ErrorCode SVBGetControlCaps(int cameraId, int controlIndex, svb::ControlCaps* caps) {
    SvbControlCaps read;
    const int error = library().getControlCaps(cameraId, controlIndex, &read);
    if (error != SvbonyLibrary::Ok)
        return error;
    putControlCaps(read, caps);
    return SvbonyLibrary::Ok;
}

svb::ErrorCode SVBGetControlValue(int cameraId, int controlType, long* value, svb::Bool* isAuto) {
    bool automatic = false;
    const int error = library().getControlValue(cameraId, controlType, value, &automatic);
    *isAuto = automatic;
    return error;
}

svb::ErrorCode SVBSetControlValue(int cameraId, int controlType, long value, svb::Bool isAuto) {
    return library().setControlValue(cameraId, controlType, value, isAuto != 0);
}

svb::ErrorCode SVBSetROIFormat(int cameraId, int startX, int startY, int width, int height,
                               int bin) {
    return library().setROIFormat(cameraId, startX, startY, width, height, bin);
}

svb::ErrorCode SVBSetOutputImageType(int cameraId, int imageType) {
    return library().setOutputImageType(cameraId, imageType);
}

svb::ErrorCode SVBSetCameraMode(int cameraId, int mode) {
    return library().setCameraMode(cameraId, mode);
}

svb::ErrorCode SVBStartVideoCapture(int cameraId) {
    return library().startVideoCapture(cameraId);
}

svb::ErrorCode SVBStopVideoCapture(int cameraId) {
    return library().stopVideoCapture(cameraId);
}

svb::ErrorCode SVBSendSoftTrigger(int cameraId) {
    return library().sendSoftTrigger(cameraId);
}

svb::ErrorCode SVBGetVideoData(int cameraId, unsigned char* buffer, long bufferSize, int waitMs) {
    return library().getVideoData(cameraId, buffer, bufferSize, waitMs);
}

svb::ErrorCode SVBGetDroppedFrames(int cameraId, int* droppedFrames) {
    return library().getDroppedFrames(cameraId, droppedFrames);
}

svb::ErrorCode SVBCanPulseGuide(int cameraId, svb::Bool* canPulseGuide) {
    bool can = false;
    const int error = library().canPulseGuide(cameraId, &can);
    *canPulseGuide = can;
    return error;
}

svb::ErrorCode SVBSetAutoSaveParam(int cameraId, svb::Bool enable) {
    return library().setAutoSaveParam(cameraId, enable != 0);
}

svb::ErrorCode SVBGetCameraSupportMode(int cameraId, svb::SupportedMode* supportedMode) {
    std::vector<int> modes;
    const int error = library().getCameraSupportMode(cameraId, &modes);
    if (error != SvbonyLibrary::Ok)
        return error;
    copyList(supportedMode->SupportedCameraMode, modes, -1);
    return SvbonyLibrary::Ok;
}
}

// The exports have the published types the binding calls them by.
static_assert(std::is_same_v<decltype(SVBGetNumOfConnectedCameras), svb::GetNumOfConnectedCameras>);
static_assert(std::is_same_v<decltype(SVBGetCameraInfo), svb::GetCameraInfo>);
static_assert(std::is_same_v<decltype(SVBOpenCamera), svb::OpenCamera>);
static_assert(std::is_same_v<decltype(SVBCloseCamera), svb::CloseCamera>);
static_assert(std::is_same_v<decltype(SVBGetCameraProperty), svb::GetCameraProperty>);
static_assert(std::is_same_v<decltype(SVBGetCameraPropertyEx), svb::GetCameraPropertyEx>);
static_assert(std::is_same_v<decltype(SVBGetNumOfControls), svb::GetNumOfControls>);
static_assert(std::is_same_v<decltype(SVBGetControlCaps), svb::GetControlCaps>);
static_assert(std::is_same_v<decltype(SVBGetControlValue), svb::GetControlValue>);
static_assert(std::is_same_v<decltype(SVBSetControlValue), svb::SetControlValue>);
static_assert(std::is_same_v<decltype(SVBSetROIFormat), svb::SetROIFormat>);
static_assert(std::is_same_v<decltype(SVBSetOutputImageType), svb::SetOutputImageType>);
static_assert(std::is_same_v<decltype(SVBSetCameraMode), svb::SetCameraMode>);
static_assert(std::is_same_v<decltype(SVBStartVideoCapture), svb::StartVideoCapture>);
static_assert(std::is_same_v<decltype(SVBStopVideoCapture), svb::StopVideoCapture>);
static_assert(std::is_same_v<decltype(SVBSendSoftTrigger), svb::SendSoftTrigger>);
static_assert(std::is_same_v<decltype(SVBGetVideoData), svb::GetVideoData>);
static_assert(std::is_same_v<decltype(SVBGetDroppedFrames), svb::GetDroppedFrames>);
static_assert(std::is_same_v<decltype(SVBCanPulseGuide), svb::CanPulseGuide>);
static_assert(std::is_same_v<decltype(SVBSetAutoSaveParam), svb::SetAutoSaveParam>);
static_assert(std::is_same_v<decltype(SVBGetCameraSupportMode), svb::GetCameraSupportMode>);
