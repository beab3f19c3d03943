#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SvbCameraInfo {
    std::string friendlyName;
    std::string serialNumber;
    std::string portType;
    unsigned deviceId = 0;
    int cameraId = 0;
};

struct SvbCameraProperty {
    long maxHeight = 0;
    long maxWidth = 0;
    bool isColorCam = false;
    int bayerPattern = 0;
    std::vector<int> supportedBins;        // ends with 0
    std::vector<int> supportedVideoFormat; // ends with -1
    int maxBitDepth = 0;
    bool isTriggerCam = false;
};

struct SvbCameraPropertyEx {
    bool supportPulseGuide = false;
    bool supportControlTemp = false;
};

struct SvbControlCaps {
    std::string name;
    std::string description;
    long maxValue = 0, minValue = 0, defaultValue = 0;
    bool isAutoSupported = false;
    bool isWritable = false;
    int controlType = 0;
};

// The calls the program makes into the SVBONY camera library; results are its error codes
// (0 = success). The base class is the absent library: no camera, every call fails.
class SvbonyLibrary {
public:
    enum Error { Ok = 0, NotAvailable = 1, CameraClosed = 4, Timeout = 11 };
    enum Control {
        Gain = 0,
        Exposure = 1,
        BlackLevel = 13,
        CoolerEnable = 14,
        TargetTemperature = 15,
        CurrentTemperature = 16
    };
    enum ImageType { Raw8 = 0, Raw16 = 4 };
    enum CameraMode { Normal = 0, SoftTrigger = 1 };

    virtual ~SvbonyLibrary() = default;

    virtual int getNumOfConnectedCameras() { return 0; }
    virtual int getCameraInfo(SvbCameraInfo*, int) { return NotAvailable; }
    virtual int openCamera(int) { return NotAvailable; }
    virtual int closeCamera(int) { return NotAvailable; }
    virtual int getCameraProperty(int, SvbCameraProperty*) { return NotAvailable; }
    virtual int getCameraPropertyEx(int, SvbCameraPropertyEx*) { return NotAvailable; }
    virtual int getNumOfControls(int, int*) { return NotAvailable; }
    virtual int getControlCaps(int, int, SvbControlCaps*) { return NotAvailable; }
    virtual int getControlValue(int, int, long*, bool*) { return NotAvailable; }
    virtual int setControlValue(int, int, long, bool) { return NotAvailable; }
    virtual int setROIFormat(int, int, int, int, int, int) { return NotAvailable; }
    virtual int setOutputImageType(int, int) { return NotAvailable; }
    virtual int setCameraMode(int, int) { return NotAvailable; }
    virtual int startVideoCapture(int) { return NotAvailable; }
    virtual int stopVideoCapture(int) { return NotAvailable; }
    virtual int sendSoftTrigger(int) { return NotAvailable; }
    virtual int getVideoData(int, std::uint8_t*, long, int) { return NotAvailable; }
    virtual int getDroppedFrames(int, int*) { return NotAvailable; }
    virtual int canPulseGuide(int, bool*) { return NotAvailable; }
    virtual int setAutoSaveParam(int, bool) { return NotAvailable; }
    virtual int getCameraSupportMode(int, std::vector<int>*) { return NotAvailable; }
};
