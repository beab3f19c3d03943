#pragma once

#include "CanonLibrary.h"
#include "LibraryValues.h"
#include "SharedLibrary.h"

#include <memory>

// The Canon EOS digital camera library (EDSDK), loaded at run time for its camera listing.
// Installed only when present(): the library was found and exports every function the program
// calls.
class CanonBinding : public CanonLibrary {
public:
    CanonBinding();
    ~CanonBinding() override;

    bool present() const { return functions != nullptr; }

    int initializeSdk() override;
    int getCameraList(Handle* list) override;
    int getChildCount(Handle list, int* count) override;
    int getChildAtIndex(Handle list, int index, Handle* camera) override;
    int getDeviceInfo(Handle camera, CanonDeviceInfo* info) override;

private:
    struct Functions;

    SharedLibrary library;
    LibraryValues values;
    std::unique_ptr<Functions> functions;
};
