#pragma once

// The part of the ZWO ASI camera library's published C interface (ASICamera2) that the program
// calls, declared from the maker's documentation: the two records it passes, with their
// published layouts checked below, and the functions' types. The binding and the simulator's
// drop-in library both build on this, and the checks hold both to the maker's layout.

#include <cstddef>

namespace asi {

using Bool = int;      // ASI_BOOL
using ErrorCode = int; // ASI_ERROR_CODE

struct CameraInfo { // ASI_CAMERA_INFO
    char Name[64];
    int CameraID;
    long MaxHeight;
    long MaxWidth;
    Bool IsColorCam;
    int BayerPattern;
    int SupportedBins[16];       // ends with 0
    int SupportedVideoFormat[8]; // ends with -1
    double PixelSize;
    Bool MechanicalShutter;
    Bool ST4Port;
    Bool IsCoolerCam;
    Bool IsUSB3Host;
    Bool IsUSB3Camera;
    float ElecPerADU;
    int BitDepth;
    Bool IsTriggerCam;
    char Unused[16];
};

struct ControlCaps { // ASI_CONTROL_CAPS
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

// The published layouts: `long` is 8 bytes on Linux and macOS, 4 on Windows.
static_assert(offsetof(CameraInfo, CameraID) == 64);
static_assert(offsetof(ControlCaps, Description) == 64 && offsetof(ControlCaps, MaxValue) == 192);
#if defined(_WIN32)
static_assert(offsetof(CameraInfo, MaxHeight) == 68 && offsetof(CameraInfo, IsColorCam) == 76);
static_assert(offsetof(CameraInfo, PixelSize) == 184 && offsetof(CameraInfo, IsCoolerCam) == 200);
static_assert(sizeof(CameraInfo) == 240);
static_assert(offsetof(ControlCaps, IsAutoSupported) == 204 && sizeof(ControlCaps) == 248);
#else
static_assert(offsetof(CameraInfo, MaxHeight) == 72 && offsetof(CameraInfo, IsColorCam) == 88);
static_assert(offsetof(CameraInfo, PixelSize) == 192 && offsetof(CameraInfo, IsCoolerCam) == 208);
static_assert(sizeof(CameraInfo) == 248);
static_assert(offsetof(ControlCaps, IsAutoSupported) == 216 && sizeof(ControlCaps) == 264);
#endif

extern "C" {
using GetNumOfConnectedCameras = int();
using GetCameraProperty = ErrorCode(CameraInfo* info, int cameraIndex);
using OpenCamera = ErrorCode(int cameraId);
using InitCamera = ErrorCode(int cameraId);
using SetStartPos = ErrorCode(int cameraId, int startX, int startY);
using GetNumOfControls = ErrorCode(int cameraId, int* numberOfControls);
using GetControlCaps = ErrorCode(int cameraId, int controlIndex, ControlCaps* caps);
using GetControlValue = ErrorCode(int cameraId, int controlType, long* value, Bool* isAuto);
using SetControlValue = ErrorCode(int cameraId, int controlType, long value, Bool isAuto);
using SetROIFormat = ErrorCode(int cameraId, int width, int height, int bin, int imageType);
using StartExposure = ErrorCode(int cameraId, Bool isDark);
using StopExposure = ErrorCode(int cameraId);
using GetExpStatus = ErrorCode(int cameraId, int* status);
using GetDataAfterExp = ErrorCode(int cameraId, unsigned char* buffer, long bufferSize);
using StartVideoCapture = ErrorCode(int cameraId);
using StopVideoCapture = ErrorCode(int cameraId);
using GetVideoData = ErrorCode(int cameraId, unsigned char* buffer, long bufferSize, int waitMs);
}

} // namespace asi
