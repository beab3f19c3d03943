#pragma once

// The part of the SVBONY camera library's published C interface (SVBCameraSDK) that the program
// calls, declared from the maker's documentation: the records it passes, with their published
// layouts checked below, and the functions' types. The binding and the simulator's drop-in
// library both build on this, and the checks hold both to the maker's layout.

#include <cstddef>

namespace svb {

using Bool = int;      // SVB_BOOL
using ErrorCode = int; // SVB_ERROR_CODE

struct CameraInfo { // SVB_CAMERA_INFO
    char FriendlyName[32];
    char CameraSN[32];
    char PortType[32];
    unsigned int DeviceID;
    int CameraID;
};

struct CameraProperty { // SVB_CAMERA_PROPERTY
    long MaxHeight;
    long MaxWidth;
    Bool IsColorCam;
    int BayerPattern;
    int SupportedBins[16];       // ends with 0
    int SupportedVideoFormat[8]; // ends with -1
    int MaxBitDepth;
    Bool IsTriggerCam;
};

struct CameraPropertyEx { // SVB_CAMERA_PROPERTY_EX
    Bool bSupportPulseGuide;
    Bool bSupportControlTemp;
    int Unused[64];
};

struct ControlCaps { // SVB_CONTROL_CAPS
    char Name[64];
    char Description[128];
    long MaxValue;
    long MinValue;
    long DefaultValue;
    Bool IsAutoSupported;
    Bool IsWritable;
    int ControlType;
    char Unused[32];
};

struct SupportedMode {           // SVB_SUPPORTED_MODE
    int SupportedCameraMode[16]; // ends with -1
};

// The published layouts: `long` is 8 bytes on Linux and macOS, 4 on Windows.
static_assert(offsetof(CameraInfo, CameraSN) == 32 && offsetof(CameraInfo, PortType) == 64);
static_assert(offsetof(CameraInfo, DeviceID) == 96 && offsetof(CameraInfo, CameraID) == 100);
static_assert(sizeof(CameraInfo) == 104);
static_assert(offsetof(CameraPropertyEx, Unused) == 8 && sizeof(CameraPropertyEx) == 264);
static_assert(offsetof(ControlCaps, Description) == 64 && offsetof(ControlCaps, MaxValue) == 192);
static_assert(sizeof(SupportedMode) == 64);
#if defined(_WIN32)
static_assert(offsetof(CameraProperty, MaxWidth) == 4 && offsetof(CameraProperty, IsColorCam) == 8);
static_assert(offsetof(CameraProperty, SupportedBins) == 16);
static_assert(offsetof(CameraProperty, SupportedVideoFormat) == 80);
static_assert(offsetof(CameraProperty, MaxBitDepth) == 112 && sizeof(CameraProperty) == 120);
static_assert(offsetof(ControlCaps, DefaultValue) == 200);
static_assert(offsetof(ControlCaps, IsAutoSupported) == 204);
static_assert(offsetof(ControlCaps, ControlType) == 212 && sizeof(ControlCaps) == 248);
#else
static_assert(offsetof(CameraProperty, MaxWidth) == 8 &&
              offsetof(CameraProperty, IsColorCam) == 16);
static_assert(offsetof(CameraProperty, SupportedBins) == 24);
static_assert(offsetof(CameraProperty, SupportedVideoFormat) == 88);
static_assert(offsetof(CameraProperty, MaxBitDepth) == 120 && sizeof(CameraProperty) == 128);
static_assert(offsetof(ControlCaps, DefaultValue) == 208);
static_assert(offsetof(ControlCaps, IsAutoSupported) == 216);
static_assert(offsetof(ControlCaps, ControlType) == 224 && sizeof(ControlCaps) == 264);
#endif

extern "C" {
using GetNumOfConnectedCameras = int();
using GetCameraInfo = ErrorCode(CameraInfo* info, int cameraIndex);
using OpenCamera = ErrorCode(int cameraId);
using CloseCamera = ErrorCode(int cameraId);
using GetCameraProperty = ErrorCode(int cameraId, CameraProperty* property);
using GetCameraPropertyEx = ErrorCode(int cameraId, CameraPropertyEx* property);
using GetNumOfControls = ErrorCode(int cameraId, int* numberOfControls);
using GetControlCaps = ErrorCode(int cameraId, int controlIndex, ControlCaps* caps);
using GetControlValue = ErrorCode(int cameraId, int controlType, long* value, Bool* isAuto);
using SetControlValue = ErrorCode(int cameraId, int controlType, long value, Bool isAuto);
using SetROIFormat = ErrorCode(int cameraId, int startX, int startY, int width, int height,
                               int bin);
using SetOutputImageType = ErrorCode(int cameraId, int imageType);
using SetCameraMode = ErrorCode(int cameraId, int mode);
using StartVideoCapture = ErrorCode(int cameraId);
using StopVideoCapture = ErrorCode(int cameraId);
using SendSoftTrigger = ErrorCode(int cameraId);
using GetVideoData = ErrorCode(int cameraId, unsigned char* buffer, long bufferSize, int waitMs);
using GetDroppedFrames = ErrorCode(int cameraId, int* droppedFrames);
using CanPulseGuide = ErrorCode(int cameraId, Bool* canPulseGuide);
using SetAutoSaveParam = ErrorCode(int cameraId, Bool enable);
using GetCameraSupportMode = ErrorCode(int cameraId, SupportedMode* supportedMode);
}

} // namespace svb
