#pragma once

#include <cstdint>
#include <string>

struct CanonDeviceInfo {
    std::string portName;
    std::string description;
};

// The DSLR library's camera listing, the only part of it the program uses. The real library
// is imported by ordinal: initialise (1), camera list (12), child count (5), child at index
// (6), device information (13). The base class is the absent library: no camera.
class CanonLibrary {
public:
    using Handle = std::uintptr_t;
    enum Error { Ok = 0, NotAvailable = 1 };

    virtual ~CanonLibrary() = default;

    virtual int initializeSdk() { return NotAvailable; }
    virtual int getCameraList(Handle*) { return NotAvailable; }
    virtual int getChildCount(Handle, int*) { return NotAvailable; }
    virtual int getChildAtIndex(Handle, int, Handle*) { return NotAvailable; }
    virtual int getDeviceInfo(Handle, CanonDeviceInfo*) { return NotAvailable; }
};
