#pragma once

#include "AsiLibrary.h"
#include "LibraryValues.h"
#include "SharedLibrary.h"

#include <memory>

// The ZWO ASI camera library (ASICamera2), loaded at run time. Installed only when present():
// the library was found and exports every function the program calls.
class AsiBinding : public AsiLibrary {
public:
    AsiBinding();
    ~AsiBinding() override;

    bool present() const { return functions != nullptr; }

    int getNumOfConnectedCameras() override;
    int getCameraProperty(AsiCameraInfo* info, int index) override;
    int openCamera(int id) override;
    int initCamera(int id) override;
    int setStartPos(int id, int x, int y) override;
    int getNumOfControls(int id, int* count) override;
    int getControlCaps(int id, int index, AsiControlCaps* caps) override;
    int getControlValue(int id, int type, long* value, bool* isAuto) override;
    int setControlValue(int id, int type, long value, bool isAuto) override;
    int setROIFormat(int id, int width, int height, int bin, int type) override;
    int startExposure(int id, bool isDark) override;
    int stopExposure(int id) override;
    int getExpStatus(int id, int* status) override;
    int getDataAfterExp(int id, std::uint8_t* buffer, long bytes) override;
    int startVideoCapture(int id) override;
    int stopVideoCapture(int id) override;
    int getVideoData(int id, std::uint8_t* buffer, long bytes, int waitMs) override;

private:
    struct Functions;

    SharedLibrary library;
    LibraryValues values;
    std::unique_ptr<Functions> functions;
};
