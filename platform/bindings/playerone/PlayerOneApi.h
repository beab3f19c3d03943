#pragma once

// The part of the Player One camera library's published C interface (PlayerOneCamera) that the
// program calls, declared from the maker's documentation: the records it passes, with their
// published layouts checked below, and the functions' types. The binding and the simulator's
// drop-in library both build on this, and the checks hold both to the maker's layout.

#include <cstddef>

namespace poa {

using Bool = int;      // POABool
using ErrorCode = int; // POAErrors

struct CameraProperties { // POACameraProperties
    char cameraModelName[256];
    char userCustomID[16];
    int cameraID;
    int maxWidth;
    int maxHeight;
    int bitDepth;
    Bool isColorCamera;
    Bool isHasST4Port;
    Bool isHasCooler;
    Bool isUSB3Speed;
    int bayerPattern;
    double pixelSize;
    char SN[64];
    char sensorModelName[32];
    char localPath[256];
    int bins[8];       // ends with 0
    int imgFormats[8]; // ends with -1
    char reserved[256];
};

// A setting's value: which member holds it depends on the setting (see valueType).
union ConfigValue { // POAConfigValue
    long intValue;
    double floatValue;
    Bool boolValue;
};

enum ValueType { ValInt = 0, ValFloat = 1, ValBool = 2 }; // POAValueType

struct ConfigAttributes { // POAConfigAttributes
    Bool isSupportAuto;
    Bool isWritable;
    Bool isReadable;
    int configID;
    int valueType;
    ConfigValue maxValue;
    ConfigValue minValue;
    ConfigValue defaultValue;
    char szConfName[64];
    char szDescription[128];
    char reserved[64];
};

// The published layouts, the same on Linux, macOS and Windows but for the union's `long`, which
// is 8 bytes on Linux and macOS and 4 on Windows; the double keeps the union at 8 either way.
static_assert(offsetof(CameraProperties, cameraID) == 272);
static_assert(offsetof(CameraProperties, pixelSize) == 312 &&
              offsetof(CameraProperties, SN) == 320);
static_assert(offsetof(CameraProperties, sensorModelName) == 384);
static_assert(offsetof(CameraProperties, bins) == 672 &&
              offsetof(CameraProperties, reserved) == 736);
static_assert(sizeof(CameraProperties) == 992);
static_assert(sizeof(ConfigValue) == 8 && alignof(ConfigValue) == 8);
static_assert(offsetof(ConfigAttributes, maxValue) == 24);
static_assert(offsetof(ConfigAttributes, szConfName) == 48);
static_assert(offsetof(ConfigAttributes, szDescription) == 112);
static_assert(sizeof(ConfigAttributes) == 304);

// The published settings whose value is not an integer (POAConfig).
enum NonIntegerConfig {
    HardwareBin = 2,
    Temperature = 3,
    GuideNorth = 11,
    GuideSouth = 12,
    GuideEast = 13,
    GuideWest = 14,
    ElectronsPerAdu = 15,
    Cooler = 18,
    Heater = 19,
    FlipNone = 22,
    FlipHorizontal = 23,
    FlipVertical = 24,
    FlipBoth = 25,
    HighQualityImage = 27,
    PixelBinSum = 29,
};

// Each setting's value type is fixed by the published list of settings.
inline ValueType valueType(int config) {
    switch (config) {
    case Temperature:
    case ElectronsPerAdu:
        return ValFloat;
    case HardwareBin:
    case GuideNorth:
    case GuideSouth:
    case GuideEast:
    case GuideWest:
    case Cooler:
    case Heater:
    case FlipNone:
    case FlipHorizontal:
    case FlipVertical:
    case FlipBoth:
    case HighQualityImage:
    case PixelBinSum:
        return ValBool;
    default:
        return ValInt;
    }
}

extern "C" {
using GetCameraCount = int();
using GetCameraProperties = ErrorCode(int index, CameraProperties* properties);
using OpenCamera = ErrorCode(int cameraId);
using InitCamera = ErrorCode(int cameraId);
using GetConfigsCount = ErrorCode(int cameraId, int* count);
using GetConfigAttributes = ErrorCode(int cameraId, int configIndex, ConfigAttributes* attributes);
using GetConfig = ErrorCode(int cameraId, int configId, ConfigValue* value, Bool* isAuto);
using SetConfig = ErrorCode(int cameraId, int configId, ConfigValue value, Bool isAuto);
using GetCameraState = ErrorCode(int cameraId, int* state);
using StartExposure = ErrorCode(int cameraId, Bool singleFrame);
using StopExposure = ErrorCode(int cameraId);
using GetImageStartPos = ErrorCode(int cameraId, int* startX, int* startY);
using GetImageSize = ErrorCode(int cameraId, int* width, int* height);
using SetImageSize = ErrorCode(int cameraId, int width, int height);
using SetImageBin = ErrorCode(int cameraId, int bin);
using SetImageFormat = ErrorCode(int cameraId, int format);
using ImageReady = ErrorCode(int cameraId, Bool* isReady);
using GetImageData = ErrorCode(int cameraId, unsigned char* buffer, long bufferSize, int timeoutMs);
using GetErrorString = const char*(ErrorCode error);
}

} // namespace poa
