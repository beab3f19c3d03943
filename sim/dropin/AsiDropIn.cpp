// The simulated ZWO ASI cameras as a drop-in for the maker's library (libASICamera2): its C
// functions, with the maker's names, arguments and records.
#include "AsiApi.h"
#include "AsiLibrary.h"
#include "DropInControlCaps.h"
#include "DropInName.h"
#include "DropInObservatory.h"

#include <type_traits>

namespace {

AsiLibrary& library() {
    return *dropInLibraries().asi;
}

} // namespace

extern "C" {

int ASIGetNumOfConnectedCameras() {
    return dropInFault("negative-count") ? -3 : library().getNumOfConnectedCameras();
}

asi::ErrorCode ASIGetCameraProperty(asi::CameraInfo* info, int index) {
    AsiCameraInfo read;
    const int error = library().getCameraProperty(&read, index);
    if (error != AsiLibrary::Ok)
        return error;
    *info = asi::CameraInfo{};
    copyDropInName(info->Name, read.name);
    info->CameraID = read.cameraId;
    info->MaxWidth = dropInFault("zero-size") ? 0 : dropInFault("wide") ? 100000 : read.maxWidth;
    info->MaxHeight = dropInFault("zero-size") ? 0 : read.maxHeight;
    info->IsColorCam = read.isColorCam;
    info->BayerPattern = read.bayerPattern;
    info->SupportedBins[0] = 1;
    info->SupportedVideoFormat[0] = AsiLibrary::Raw8;
    info->SupportedVideoFormat[1] = AsiLibrary::Raw16;
    info->SupportedVideoFormat[2] = -1;
    info->IsCoolerCam = read.isCoolerCam;
    info->BitDepth = 16;
    return AsiLibrary::Ok;
}

asi::ErrorCode ASIOpenCamera(int cameraId) {
    return library().openCamera(cameraId);
}

asi::ErrorCode ASIInitCamera(int cameraId) {
    return library().initCamera(cameraId);
}

asi::ErrorCode ASISetStartPos(int cameraId, int startX, int startY) {
    return library().setStartPos(cameraId, startX, startY);
}

asi::ErrorCode ASIGetNumOfControls(int cameraId, int* numberOfControls) {
    return library().getNumOfControls(cameraId, numberOfControls);
}

asi::ErrorCode ASIGetControlCaps(int cameraId, int controlIndex, asi::ControlCaps* caps) {
    AsiControlCaps read;
    const int error = library().getControlCaps(cameraId, controlIndex, &read);
    if (error != AsiLibrary::Ok)
        return error;
    putControlCaps(read, caps);
    return AsiLibrary::Ok;
}

asi::ErrorCode ASIGetControlValue(int cameraId, int controlType, long* value, asi::Bool* isAuto) {
    bool automatic = false;
    const int error = library().getControlValue(cameraId, controlType, value, &automatic);
    *isAuto = automatic;
    return error;
}

asi::ErrorCode ASISetControlValue(int cameraId, int controlType, long value, asi::Bool isAuto) {
    return library().setControlValue(cameraId, controlType, value, isAuto != 0);
}

asi::ErrorCode ASISetROIFormat(int cameraId, int width, int height, int bin, int imageType) {
    return library().setROIFormat(cameraId, width, height, bin, imageType);
}

asi::ErrorCode ASIStartExposure(int cameraId, asi::Bool isDark) {
    return library().startExposure(cameraId, isDark != 0);
}

asi::ErrorCode ASIStopExposure(int cameraId) {
    return library().stopExposure(cameraId);
}

asi::ErrorCode ASIGetExpStatus(int cameraId, int* status) {
    return library().getExpStatus(cameraId, status);
}

asi::ErrorCode ASIGetDataAfterExp(int cameraId, unsigned char* buffer, long bufferSize) {
    return library().getDataAfterExp(cameraId, buffer, bufferSize);
}

asi::ErrorCode ASIStartVideoCapture(int cameraId) {
    return library().startVideoCapture(cameraId);
}

asi::ErrorCode ASIStopVideoCapture(int cameraId) {
    return library().stopVideoCapture(cameraId);
}

// The broken drop-in, which tries the program with a library that lacks one function, is built
// without it.
#ifndef DROPIN_LACKS_A_FUNCTION
asi::ErrorCode ASIGetVideoData(int cameraId, unsigned char* buffer, long bufferSize, int waitMs) {
    return library().getVideoData(cameraId, buffer, bufferSize, waitMs);
}
static_assert(std::is_same_v<decltype(ASIGetVideoData), asi::GetVideoData>);
#endif
}

// The exports have the published types the binding calls them by.
static_assert(std::is_same_v<decltype(ASIGetNumOfConnectedCameras), asi::GetNumOfConnectedCameras>);
static_assert(std::is_same_v<decltype(ASIGetCameraProperty), asi::GetCameraProperty>);
static_assert(std::is_same_v<decltype(ASIOpenCamera), asi::OpenCamera>);
static_assert(std::is_same_v<decltype(ASIInitCamera), asi::InitCamera>);
static_assert(std::is_same_v<decltype(ASISetStartPos), asi::SetStartPos>);
static_assert(std::is_same_v<decltype(ASIGetNumOfControls), asi::GetNumOfControls>);
static_assert(std::is_same_v<decltype(ASIGetControlCaps), asi::GetControlCaps>);
static_assert(std::is_same_v<decltype(ASIGetControlValue), asi::GetControlValue>);
static_assert(std::is_same_v<decltype(ASISetControlValue), asi::SetControlValue>);
static_assert(std::is_same_v<decltype(ASISetROIFormat), asi::SetROIFormat>);
static_assert(std::is_same_v<decltype(ASIStartExposure), asi::StartExposure>);
static_assert(std::is_same_v<decltype(ASIStopExposure), asi::StopExposure>);
static_assert(std::is_same_v<decltype(ASIGetExpStatus), asi::GetExpStatus>);
static_assert(std::is_same_v<decltype(ASIGetDataAfterExp), asi::GetDataAfterExp>);
static_assert(std::is_same_v<decltype(ASIStartVideoCapture), asi::StartVideoCapture>);
static_assert(std::is_same_v<decltype(ASIStopVideoCapture), asi::StopVideoCapture>);
