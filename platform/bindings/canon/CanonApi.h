#pragma once

// The part of the Canon EOS digital camera library's published interface (EDSDK) that the
// program calls to list the cameras, declared from the maker's documentation: the record it
// fills, with its published layout checked below, and the functions' types. The binding and the
// simulator's drop-in library both build on this.

#include <cstddef>
#include <cstdint>

// The library's calling convention: __stdcall on Windows, the system's own elsewhere.
#if defined(_WIN32)
#define EDSDK_CALL __stdcall
#else
#define EDSDK_CALL
#endif

namespace edsdk {

using Error = std::uint32_t; // EdsError
constexpr Error success = 0; // EDS_ERR_OK
using UInt32 = std::uint32_t;
using Int32 = std::int32_t;

// The library's objects (the camera list, a camera) are opaque references.
struct Object;
using BaseRef = Object*;

struct DeviceInfo { // EdsDeviceInfo
    char szPortName[256];
    char szDeviceDescription[256];
    UInt32 deviceSubType;
    UInt32 reserved;
};

// The same on every system the library ships for.
static_assert(offsetof(DeviceInfo, szDeviceDescription) == 256);
static_assert(offsetof(DeviceInfo, deviceSubType) == 512 && sizeof(DeviceInfo) == 520);

extern "C" {
using InitializeSDK = Error EDSDK_CALL();
using GetCameraList = Error EDSDK_CALL(BaseRef* cameraList);
using GetChildCount = Error EDSDK_CALL(BaseRef parent, UInt32* count);
using GetChildAtIndex = Error EDSDK_CALL(BaseRef parent, Int32 index, BaseRef* child);
using GetDeviceInfo = Error EDSDK_CALL(BaseRef camera, DeviceInfo* info);
}

} // namespace edsdk
