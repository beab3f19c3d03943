#pragma once

#include "LibraryValues.h"
#include "SharedLibrary.h"
#include "SvbonyLibrary.h"

#include <memory>

// The SVBONY camera library (SVBCameraSDK), loaded at run time. Installed only when present():
// the library was found and exports every function the program calls.
class SvbonyBinding : public SvbonyLibrary {
public:
    SvbonyBinding();
    ~SvbonyBinding() override;

    bool present() const { return functions != nullptr; }

    int getNumOfConnectedCameras() override;
    int getCameraInfo(SvbCameraInfo* info, int index) override;
    int openCamera(int id) override;
    int closeCamera(int id) override;
    int getCameraProperty(int id, SvbCameraProperty* property) override;
    int getCameraPropertyEx(int id, SvbCameraPropertyEx* property) override;
    int getNumOfControls(int id, int* count) override;
    int getControlCaps(int id, int index, SvbControlCaps* caps) override;
    int getControlValue(int id, int type, long* value, bool* isAuto) override;
    int setControlValue(int id, int type, long value, bool isAuto) override;
    int setROIFormat(int id, int x, int y, int width, int height, int bin) override;
    int setOutputImageType(int id, int type) override;
    int setCameraMode(int id, int mode) override;
    int startVideoCapture(int id) override;
    int stopVideoCapture(int id) override;
    int sendSoftTrigger(int id) override;
    int getVideoData(int id, std::uint8_t* buffer, long bytes, int waitMs) override;
    int getDroppedFrames(int id, int* dropped) override;
    int canPulseGuide(int id, bool* can) override;
    int setAutoSaveParam(int id, bool enable) override;
    int getCameraSupportMode(int id, std::vector<int>* modes) override;

private:
    struct Functions;

    SharedLibrary library;
    LibraryValues values;
    std::unique_ptr<Functions> functions;
};
