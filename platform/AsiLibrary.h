#pragma once

#include <cstdint>
#include <string>

struct AsiCameraInfo {
    std::string name;
    int cameraId = 0;
    long maxHeight = 0;
    long maxWidth = 0;
    bool isColorCam = false;
    int bayerPattern = 0;
    bool isCoolerCam = false;
};

struct AsiControlCaps {
    std::string name;
    std::string description;
    long maxValue = 0, minValue = 0, defaultValue = 0;
    bool isAutoSupported = false;
    bool isWritable = false;
    int controlType = 0;
};

// The calls the program makes into the ZWO ASI camera library; results are its error codes
// (0 = success). The base class is the absent library: no camera, every call fails.
class AsiLibrary {
public:
    enum Error { Ok = 0, NotAvailable = 1 };
    enum Control {
        Gain = 0,
        Exposure = 1,
        Temperature = 8,
        TargetTemperature = 16,
        CoolerOn = 17,
        AntiDewHeater = 19
    };
    enum ImageType { Raw8 = 0, Raw16 = 2 };
    enum ExposureStatus { Idle = 0, Working = 1, Success = 2, Failed = 3 };

    virtual ~AsiLibrary() = default;

    virtual int getNumOfConnectedCameras() { return 0; }
    virtual int getCameraProperty(AsiCameraInfo*, int) { return NotAvailable; }
    virtual int openCamera(int) { return NotAvailable; }
    virtual int initCamera(int) { return NotAvailable; }
    virtual int setStartPos(int, int, int) { return NotAvailable; }
    virtual int getNumOfControls(int, int*) { return NotAvailable; }
    virtual int getControlCaps(int, int, AsiControlCaps*) { return NotAvailable; }
    virtual int getControlValue(int, int, long*, bool*) { return NotAvailable; }
    virtual int setControlValue(int, int, long, bool) { return NotAvailable; }
    virtual int setROIFormat(int, int, int, int, int) { return NotAvailable; }
    virtual int startExposure(int, bool) { return NotAvailable; }
    virtual int stopExposure(int) { return NotAvailable; }
    virtual int getExpStatus(int, int*) { return NotAvailable; }
    virtual int getDataAfterExp(int, std::uint8_t*, long) { return NotAvailable; }
    virtual int startVideoCapture(int) { return NotAvailable; }
    virtual int stopVideoCapture(int) { return NotAvailable; }
    virtual int getVideoData(int, std::uint8_t*, long, int) { return NotAvailable; }
};
