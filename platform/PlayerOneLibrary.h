#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PoaCameraProperties {
    std::string cameraModelName;
    std::string sensorModelName;
    std::string serialNumber;
    int cameraId = 0;
    int maxWidth = 0;
    int maxHeight = 0;
    bool isColorCamera = false;
    bool isHasCooler = false;
    int bayerPattern = 0;
    std::vector<int> bins; // supported binnings, in the library's order
};

struct PoaConfigAttributes {
    enum ValueType { Int, Float, Bool };
    std::string name;
    std::string description;
    int configId = 0;
    ValueType valueType = Int;
    bool isWritable = false;
    bool isReadable = false;
    long minInt = 0, maxInt = 0, defaultInt = 0;
    double minFloat = 0, maxFloat = 0, defaultFloat = 0;
    bool defaultBool = false;
};

struct PoaConfigValue {
    long intValue = 0;
    double floatValue = 0;
    bool boolValue = false;
};

// The calls the program makes into the Player One camera library. Results are the library's
// error codes (0 = success). This base class is the library that is not there: it lists no
// camera and every call fails; the simulator and a run-time binding override it.
class PlayerOneLibrary {
public:
    enum Error { Ok = 0, NotAvailable = 1 };
    enum Config {
        Exposure = 0,
        Gain = 1,
        Temperature = 3,
        Offset = 7,
        TargetTemperature = 17,
        Cooler = 18
    };
    enum CameraState { Closed = 0, Opened = 1, Exposing = 2 };
    enum ImageFormat { Raw8 = 0, Raw16 = 1 };

    virtual ~PlayerOneLibrary() = default;

    virtual int getCameraCount() { return 0; }
    virtual int getCameraProperties(int, PoaCameraProperties*) { return NotAvailable; }
    virtual int openCamera(int) { return NotAvailable; }
    virtual int initCamera(int) { return NotAvailable; }
    virtual int getConfigsCount(int, int*) { return NotAvailable; }
    virtual int getConfigAttributes(int, int, PoaConfigAttributes*) { return NotAvailable; }
    virtual int getConfig(int, int, PoaConfigValue*, bool*) { return NotAvailable; }
    virtual int setConfig(int, int, PoaConfigValue, bool) { return NotAvailable; }
    virtual int getCameraState(int, int*) { return NotAvailable; }
    virtual int startExposure(int, bool) { return NotAvailable; }
    virtual int stopExposure(int) { return NotAvailable; }
    virtual int getImageStartPos(int, int*, int*) { return NotAvailable; }
    virtual int getImageSize(int, int*, int*) { return NotAvailable; }
    virtual int setImageSize(int, int, int) { return NotAvailable; }
    virtual int setImageBin(int, int) { return NotAvailable; }
    virtual int setImageFormat(int, int) { return NotAvailable; }
    virtual int imageReady(int, bool*) { return NotAvailable; }
    virtual int getImageData(int, std::uint8_t*, long, int) { return NotAvailable; }
    virtual const char* getErrorString(int error) { return error ? "Error" : "OK"; }
};
