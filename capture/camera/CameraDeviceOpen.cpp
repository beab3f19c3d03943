// Opening the cameras of each vendor, in the libraries' call order, and the pixel size.
#include "CameraDevice.h"
#include "CameraLibraries.h"
#include "DebugLog.h"
#include "HostPath.h"
#include "KeyValueText.h"
#include "SettingsRecord.h"

#include <QFile>

namespace {

int multipleOf16(int value) {
    return value / 16 * 16;
}

const char* yesNo(bool value) {
    return value ? "TRUE" : "FALSE";
}

enum UvcProperty {
    FrameWidth = 3,
    FrameHeight = 4,
    Brightness = 10,
    Contrast = 11,
    Gain = 14,
    Exposure = 15,
    AutoExposure = 21,
    Gamma = 22
};

// One row of a camera table: a key of letters and digits starting with a letter, blanks or
// tabs, then the pixel size in micrometres.
bool parseTableRow(const QByteArray& line, QByteArray* key, double* pixelSize) {
    auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (line.isEmpty() || !isLetter(line.at(0)))
        return false;
    int at = 0;
    while (at < line.size() && (isLetter(line.at(at)) || isDigit(line.at(at))))
        ++at;
    *key = line.left(at);
    while (at < line.size() && (line.at(at) == ' ' || line.at(at) == '\t'))
        ++at;
    double value = 0;
    bool any = false;
    for (; at < line.size() && isDigit(line.at(at)); ++at, any = true)
        value = value * 10 + (line.at(at) - '0');
    if (at < line.size() && line.at(at) == '.') {
        double scale = 0.1;
        for (++at; at < line.size() && isDigit(line.at(at)); ++at, scale /= 10, any = true)
            value += (line.at(at) - '0') * scale;
    }
    *pixelSize = value;
    return any;
}

} // namespace

void CameraDevice::openAsi(int id) {
    AsiLibrary& asi = CameraLibraries::asi();
    if (asi.getNumOfConnectedCameras() <= 0)
        return;
    vendorCode = Asi;
    cameraId = id;
    AsiCameraInfo info;
    asi.getCameraProperty(&info, id);
    if (asi.openCamera(cameraId) != AsiLibrary::Ok) {
        debugLog("ASI OpenCamera error");
        return;
    }
    asi.initCamera(cameraId);
    asi.setStartPos(cameraId, 0, 0);
    name = QString::fromStdString(info.name);
    sensorName.clear();
    debugLog("%s information", info.name.c_str());
    width = int(info.maxWidth);
    height = int(info.maxHeight);
    debugLog("resolution:%dX%d", width, height);
    width = multipleOf16(width);
    height = multipleOf16(height);
    loadPixelSize();
    isColor = info.isColorCam;
    if (isColor) {
        static const char* const patterns[] = {"RG", "BG", "GR", "GB"};
        debugLog("Color Camera:bayer pattern:%s", patterns[info.bayerPattern & 3]);
        bayerPattern = info.bayerPattern;
        debugLog("Bayer = %d", bayerPattern);
    } else {
        debugLog("Mono camera");
    }
    hasCooler = info.isCoolerCam;
    logAsiControls();
    long temperature = 0;
    bool isAuto = false;
    asi.getControlValue(cameraId, AsiLibrary::Temperature, &temperature, &isAuto);
    debugLog("sensor temperature:%02f", temperature / 10.0);
}

void CameraDevice::logAsiControls() {
    AsiLibrary& asi = CameraLibraries::asi();
    int controls = 0;
    asi.getNumOfControls(cameraId, &controls);
    for (int i = 0; i < controls; ++i) {
        AsiControlCaps caps;
        asi.getControlCaps(cameraId, i, &caps);
        long value = 0;
        bool isAuto = false;
        asi.getControlValue(cameraId, i, &value, &isAuto);
        debugLog("%d %s %s min=%d max=%d def-value=%d value=%d", i, caps.name.c_str(),
                 caps.description.c_str(), int(caps.minValue), int(caps.maxValue),
                 int(caps.defaultValue), int(value));
        if (i == 0) {
            gainMax = int(caps.maxValue);
            gainMin = int(caps.minValue);
            debugLog("gainMax = %d, gainMin = %d", gainMax, gainMin);
        }
        if (caps.name == "Offset") {
            offset = int(value);
            debugLog("ASI Camera offset get = %d", offset);
        }
    }
}

void CameraDevice::openPlayerOne(int index) {
    PlayerOneLibrary& poa = CameraLibraries::playerOne();
    const int count = poa.getCameraCount();
    debugLog("CameraNo = %d", count);
    if (count < 1) {
        debugLog("No Camera");
        return;
    }
    vendorCode = PlayerOne;
    PoaCameraProperties properties;
    int error = poa.getCameraProperties(index, &properties);
    if (error != PlayerOneLibrary::Ok) {
        logPlayerOneError("get camera properties failed, error code: %s \n", error);
        return;
    }
    cameraId = properties.cameraId;
    debugLog("camera ID: %d, camera name: %s \n", cameraId, properties.cameraModelName.c_str());
    debugLog("camera SN: %s, camera Sensor Name: %s \n", properties.serialNumber.c_str(),
             properties.sensorModelName.c_str());
    name = QString::fromStdString(properties.cameraModelName);
    sensorName = QString::fromStdString(properties.sensorModelName);
    loadPixelSize();

    if ((error = poa.openCamera(cameraId)) != PlayerOneLibrary::Ok) {
        logPlayerOneError("Open camera failed, error code: %s", error);
        return;
    }
    if ((error = poa.initCamera(cameraId)) != PlayerOneLibrary::Ok) {
        logPlayerOneError("Init camera failed, error code: %s", error);
        return;
    }
    isColor = properties.isColorCamera;
    // The library calls a mono sensor's pattern -1, which has no place in the 0..3 of the
    // files' shooting data.
    bayerPattern = isColor ? properties.bayerPattern : 0;
    hasCooler = properties.isHasCooler;

    int configs = 0;
    if ((error = poa.getConfigsCount(cameraId, &configs)) != PlayerOneLibrary::Ok) {
        logPlayerOneError("Get config count failed, error code: %s", error);
        return;
    }
    for (int i = 0; i < configs; ++i) {
        PoaConfigAttributes attributes;
        if ((error = poa.getConfigAttributes(cameraId, i, &attributes)) != PlayerOneLibrary::Ok) {
            debugLog("get config attributes failed, index: %d, error code: %s \n", i,
                     poa.getErrorString(error));
            return;
        }
        debugLog("config name: %s, config description: %s \n", attributes.name.c_str(),
                 attributes.description.c_str());
        debugLog("is writable: %d \n", int(attributes.isWritable));
        debugLog("is readable: %d \n", int(attributes.isReadable));
        switch (attributes.valueType) {
        case PoaConfigAttributes::Int:
            debugLog("min: %ld, max: %ld, default: %ld \n", attributes.minInt, attributes.maxInt,
                     attributes.defaultInt);
            break;
        case PoaConfigAttributes::Float:
            debugLog("min: %lf, max: %lf, default: %lf \n", attributes.minFloat,
                     attributes.maxFloat, attributes.defaultFloat);
            break;
        case PoaConfigAttributes::Bool:
            debugLog("default is on: %d \n", int(attributes.defaultBool));
            break;
        }
        if (attributes.name == "Gain") {
            gainMin = int(attributes.minInt);
            gainMax = int(attributes.maxInt);
        }
    }

    PoaConfigValue value;
    bool isAuto = false;
    if ((error = poa.getConfig(cameraId, PlayerOneLibrary::Offset, &value, &isAuto)) ==
        PlayerOneLibrary::Ok) {
        offset = int(value.intValue);
        debugLog("Get offset = %d", offset);
    } else {
        logPlayerOneError("get offset failed, error code: %s \n", error);
    }

    int state = PlayerOneLibrary::Closed;
    poa.getCameraState(cameraId, &state);
    if (state == PlayerOneLibrary::Exposing)
        poa.stopExposure(cameraId);

    int startX = 0, startY = 0;
    if ((error = poa.getImageStartPos(cameraId, &startX, &startY)) != PlayerOneLibrary::Ok) {
        logPlayerOneError("Get Image Start Pos failed, error code: %s \n", error);
        return;
    }
    if ((error = poa.getImageSize(cameraId, &width, &height)) != PlayerOneLibrary::Ok) {
        const int secondBin = properties.bins.size() > 1 ? properties.bins[1] : 1;
        width = properties.maxWidth / std::max(1, secondBin);
        height = properties.maxHeight / std::max(1, secondBin);
        logPlayerOneError("Get Image Size failed, error code: %s \n", error);
        return;
    }
    debugLog("width=%d, height=%d", width, height);
    width = multipleOf16(width);
    height = multipleOf16(height);
    if ((error = poa.setImageSize(cameraId, width, height)) != PlayerOneLibrary::Ok)
        logPlayerOneError("set resolution failed, error code: %s \n", error);
    if ((error = poa.setImageFormat(cameraId, PlayerOneLibrary::Raw8)) != PlayerOneLibrary::Ok)
        logPlayerOneError("set image format failed, error code: %s \n", error);
}

void CameraDevice::openSvbony(int index) {
    SvbonyLibrary& svb = CameraLibraries::svbony();
    const int count = svb.getNumOfConnectedCameras();
    debugLog("SVBONY Camera number: %d", count);
    if (count <= 0)
        return;
    vendorCode = Svbony;
    SvbCameraInfo info;
    svb.getCameraInfo(&info, index - 1);
    debugLog("Friendly name: %s", info.friendlyName.c_str());
    debugLog("Port type: %s", info.portType.c_str());
    debugLog("SN: %s", info.serialNumber.c_str());
    debugLog("Device ID: 0x%x", info.deviceId);
    debugLog("Camera ID: %d", info.cameraId);
    cameraId = info.cameraId;
    name = QString::fromStdString(info.friendlyName);
    loadPixelSize();

    if (svb.openCamera(cameraId) != SvbonyLibrary::Ok) {
        debugLog("open camera failed.");
        return;
    }
    SvbCameraProperty property;
    if (svb.getCameraProperty(cameraId, &property) != SvbonyLibrary::Ok) {
        debugLog("get camera property failed");
        svb.closeCamera(cameraId);
        return;
    }
    isColor = property.isColorCam;
    bayerPattern = property.bayerPattern;
    width = multipleOf16(int(property.maxWidth));
    height = multipleOf16(int(property.maxHeight));
    debugLog("camera maximum width %ld", property.maxWidth);
    debugLog("camera maximum height %ld", property.maxHeight);
    debugLog("camera color space: %s", isColor ? "color" : "mono");
    debugLog("camera bayer pattern: %d", bayerPattern);
    for (size_t i = 0; i < property.supportedBins.size() && i < 16; ++i) {
        if (property.supportedBins[i] == 0)
            break;
        debugLog("support bin: %d", property.supportedBins[i]);
    }
    for (size_t i = 0; i < property.supportedVideoFormat.size() && i < 8; ++i) {
        if (property.supportedVideoFormat[i] == -1)
            break;
        debugLog("support img type: %d", property.supportedVideoFormat[i]);
    }
    debugLog("Max depth: %d", property.maxBitDepth);
    debugLog("Is trigger camera: %s", yesNo(property.isTriggerCam));

    SvbCameraPropertyEx propertyEx;
    if (svb.getCameraPropertyEx(cameraId, &propertyEx) != SvbonyLibrary::Ok) {
        debugLog("get camera property failed");
        svb.closeCamera(cameraId);
        return;
    }
    hasCooler = propertyEx.supportControlTemp;
    debugLog(hasCooler ? "cooled camera" : "no cooled camera");

    readSvbonyControls();
    svb.setROIFormat(cameraId, 0, 0, width, height, 1);
    svb.setCameraMode(cameraId, SvbonyLibrary::Normal);
    bool canGuide = false;
    svb.canPulseGuide(cameraId, &canGuide);
    debugLog("can pulse guide: %s", yesNo(canGuide));
    svb.setAutoSaveParam(cameraId, false);
    std::vector<int> modes;
    svb.getCameraSupportMode(cameraId, &modes);
    for (size_t i = 0; i < modes.size() && i < 16; ++i) {
        if (modes[i] == -1)
            break;
        debugLog("%d: support = %d", int(i), modes[i]);
    }
}

void CameraDevice::readSvbonyControls() {
    SvbonyLibrary& svb = CameraLibraries::svbony();
    int controls = 0;
    svb.getNumOfControls(cameraId, &controls);
    for (int i = 0; i < controls; ++i) {
        SvbControlCaps caps;
        svb.getControlCaps(cameraId, i, &caps);
        debugLog("control type: %d", caps.controlType);
        debugLog("control name: %s", caps.name.c_str());
        debugLog("control Description: %s", caps.description.c_str());
        debugLog("Maximum value: %ld", caps.maxValue);
        debugLog("minimum value: %ld", caps.minValue);
        debugLog("default value: %ld", caps.defaultValue);
        debugLog("is auto supported: %s", yesNo(caps.isAutoSupported));
        debugLog("is writable: %s", yesNo(caps.isWritable));
        long value = 0;
        bool isAuto = false;
        svb.getControlValue(cameraId, caps.controlType, &value, &isAuto);
        debugLog("control type %d value %ld", caps.controlType, value);
        if (caps.controlType == SvbonyLibrary::BlackLevel)
            offset = int(value);
        if (caps.controlType == SvbonyLibrary::Gain) {
            gainMax = int(caps.maxValue);
            gainMin = int(caps.minValue);
        }
        if (!caps.isWritable)
            continue;
        if (caps.controlType == SvbonyLibrary::Exposure)
            svb.setControlValue(cameraId, caps.controlType, value, false);
        else if (caps.controlType == SvbonyLibrary::Gain)
            svb.setControlValue(cameraId, caps.controlType, 1000, isAuto);
        else
            svb.setControlValue(cameraId, caps.controlType, value, isAuto);
    }
}

void CameraDevice::openUvc(int index) {
    if (uvc && uvc->isOpened())
        uvc->release();
    vendorCode = Uvc;
    cameraId = index;
    name = "Orlent AutoGuider Camera";
    pixelSizeUm = 2.9;
    debugLog("Orlent Camera Init %d", index);
    uvc = CameraLibraries::createUvcCapture();
    uvc->open(index);
    bayerPattern = 0;
    offset = 0;
    gainMin = 0;
    isColor = true;
    hasCooler = false;
    width = 1920;
    height = 1080;
    gainMax = 100;
    uvc->set(FrameWidth, 1920);
    uvc->set(FrameHeight, 1080);
    uvc->set(AutoExposure, 0);
    uvc->set(Gamma, 100);
    uvc->set(Brightness, -30);
    uvc->set(Contrast, 30);
    if (uvc->isOpened())
        debugLog("camera opened");
    debugLog("gain=%d", int(uvc->get(Gain)));
    debugLog("exposure=%d", int(uvc->get(Exposure)));
    debugLog("gamma=%d", int(uvc->get(Gamma)));
    debugLog("brightness=%d", int(uvc->get(Brightness)));
    debugLog("contrast=%d", int(uvc->get(Contrast)));
    debugLog("width=%d", int(uvc->get(FrameWidth)));
    debugLog("height=%d", int(uvc->get(FrameHeight)));
    debugLog("auto exp=%d", int(uvc->get(AutoExposure)));
}

void CameraDevice::loadPixelSize() {
    const char* table = vendorCode == PlayerOne ? "CameraDataPlayerOne.txt"
                        : vendorCode == Asi     ? "CameraDataASI.txt"
                                                : "CameraDataSVBONY.txt";
    const QString matched = vendorCode == PlayerOne ? sensorName : name;
    pixelSizeUm = 0;
    QFile file(HostPath::toHost(appDir + '\\' + table));
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray line;
        while (KeyValueText::readPiece(file, &line)) {
            QByteArray key;
            double size = 0;
            if (!parseTableRow(line, &key, &size))
                continue;
            if (key.size() > 99)
                break;
            if (!matched.contains(QString::fromLatin1(key), Qt::CaseSensitive))
                continue;
            pixelSizeUm = size;
            debugLog("CameraId=%s pix=%f", key.constData(), size);
            // The mono 294 sensor also runs unbinned at twice the resolution.
            if (key == "ASI294" && width > 8000)
                pixelSizeUm /= 2;
            break;
        }
    }
    if (pixelSizeUm == 0)
        pixelSizeUm = settings.pixSize / 100.0;
}
