#include "CameraDevice.h"

#include "CameraLibraries.h"
#include "Clock.h"
#include "DebugLog.h"

#include <QMutexLocker>
#include <algorithm>
#include <cstring>

namespace {

const int exposureTable[] = {1000,   2000,   4000,   8000,    16667,   33333,   62500,
                             125000, 250000, 500000, 1000000, 2000000, 4000000, 8000000};
constexpr int exposureTableSize = int(sizeof exposureTable / sizeof exposureTable[0]);

// OpenCV's published capture properties.
enum UvcProperty { FrameWidth = 3, FrameHeight = 4, Exposure = 15, Gain = 14 };

PoaConfigValue poaInt(long value) {
    PoaConfigValue v;
    v.intValue = value;
    return v;
}

PoaConfigValue poaBool(bool value) {
    PoaConfigValue v;
    v.boolValue = value;
    return v;
}

} // namespace

CameraDevice::CameraDevice(QMutex& mutex, const QString& programFolder,
                           const SettingsRecord& settingsRecord)
    : stateMutex(mutex)
    , appDir(programFolder)
    , settings(settingsRecord) {}

CameraDevice::~CameraDevice() = default;

int CameraDevice::exposureTableUs(int index) {
    return exposureTable[std::clamp(index, 0, exposureTableSize - 1)];
}

void CameraDevice::logPlayerOneError(const char* format, int error) {
    debugLog(format, CameraLibraries::playerOne().getErrorString(error));
}

// A Player One camera takes exposure and gain changes only while it is not exposing: live
// view is stopped around the change and started again.
void CameraDevice::setPlayerOneConfigAroundVideo(int config, long value) {
    PlayerOneLibrary& poa = CameraLibraries::playerOne();
    int state = PlayerOneLibrary::Closed;
    poa.getCameraState(cameraId, &state);
    const bool wasExposing = state == PlayerOneLibrary::Exposing;
    if (wasExposing)
        poa.stopExposure(cameraId);
    poa.setConfig(cameraId, config, poaInt(value), false);
    if (wasExposing)
        poa.startExposure(cameraId, false);
}

void CameraDevice::setExposureUs(int us) {
    switch (vendorCode) {
    case PlayerOne: {
        exposureUs = us;
        const int error = CameraLibraries::playerOne().setConfig(
            cameraId, PlayerOneLibrary::Exposure, poaInt(us), false);
        if (error != PlayerOneLibrary::Ok)
            logPlayerOneError("set exposure failed, error code: %s \n", error);
        break;
    }
    case Asi:
        CameraLibraries::asi().setControlValue(cameraId, AsiLibrary::Exposure, us, false);
        break;
    case Svbony:
        CameraLibraries::svbony().setControlValue(cameraId, SvbonyLibrary::Exposure, us, false);
        break;
    case Uvc:
        if (uvc) {
            uvc->set(Exposure, -1.0);
            uvc->set(Gain, gainMax);
        }
        break;
    }
    frameWaitMs = us / 1000;
}

void CameraDevice::setExposureIndex(int index) {
    index = std::clamp(index, 0, exposureTableSize - 1);
    const int us = exposureTable[index];
    switch (vendorCode) {
    case PlayerOne:
        setPlayerOneConfigAroundVideo(PlayerOneLibrary::Exposure, us);
        exposureUs = us;
        debugLog("set exposure = %d %d", index, us);
        break;
    case Asi:
        CameraLibraries::asi().setControlValue(cameraId, AsiLibrary::Exposure, us, false);
        break;
    case Svbony:
        CameraLibraries::svbony().setControlValue(cameraId, SvbonyLibrary::Exposure, us, false);
        break;
    case Uvc:
        if (uvc)
            uvc->set(Exposure, index - 10);
        break;
    }
    frameWaitMs = us / 1000;
}

void CameraDevice::setGain(int step) {
    const long value = long(step) * gainMax / 25;
    switch (vendorCode) {
    case PlayerOne:
        setPlayerOneConfigAroundVideo(PlayerOneLibrary::Gain, value);
        break;
    case Asi:
        CameraLibraries::asi().setControlValue(cameraId, AsiLibrary::Gain, value, false);
        break;
    case Svbony:
        CameraLibraries::svbony().setControlValue(cameraId, SvbonyLibrary::Gain, value, false);
        break;
    case Uvc:
        if (uvc)
            uvc->set(Gain, double(value));
        break;
    }
}

void CameraDevice::setFormat(int w, int h, int bin, int bits) {
    switch (vendorCode) {
    case PlayerOne: {
        PlayerOneLibrary& poa = CameraLibraries::playerOne();
        int error = poa.setImageBin(cameraId, bin);
        if (error != PlayerOneLibrary::Ok)
            logPlayerOneError("set bin failed, error code: %s \n", error);
        error = poa.setImageSize(cameraId, w, h);
        if (error != PlayerOneLibrary::Ok)
            logPlayerOneError("set resolution failed, error code: %s \n", error);
        error = poa.setImageFormat(cameraId,
                                   bits == 8 ? PlayerOneLibrary::Raw8 : PlayerOneLibrary::Raw16);
        if (error != PlayerOneLibrary::Ok)
            logPlayerOneError("set image format failed, error code: %s \n", error);
        break;
    }
    case Asi:
        if (CameraLibraries::asi().setROIFormat(cameraId, w, h, bin,
                                                bits == 8 ? AsiLibrary::Raw8 : AsiLibrary::Raw16))
            debugLog("ASI format error");
        break;
    case Svbony: {
        SvbonyLibrary& svb = CameraLibraries::svbony();
        svb.setROIFormat(cameraId, 0, 0, w, h, bin);
        svb.setOutputImageType(cameraId, bits == 8 ? SvbonyLibrary::Raw8 : SvbonyLibrary::Raw16);
        debugLog("set image format %d %d %d", w, h, bin);
        break;
    }
    }
}

void CameraDevice::setTargetTemperature(int celsius) {
    switch (vendorCode) {
    case PlayerOne:
        CameraLibraries::playerOne().setConfig(cameraId, PlayerOneLibrary::TargetTemperature,
                                               poaInt(celsius), false);
        break;
    case Asi:
        CameraLibraries::asi().setControlValue(cameraId, AsiLibrary::TargetTemperature, celsius,
                                               false);
        break;
    case Svbony:
        CameraLibraries::svbony().setControlValue(cameraId, SvbonyLibrary::TargetTemperature,
                                                  long(celsius) * 10, false);
        break;
    }
}

void CameraDevice::coolerOn() {
    setCooler(true);
}

void CameraDevice::coolerOff() {
    setCooler(false);
}

void CameraDevice::setCooler(bool on) {
    switch (vendorCode) {
    case PlayerOne:
        CameraLibraries::playerOne().setConfig(cameraId, PlayerOneLibrary::Cooler, poaBool(on),
                                               false);
        break;
    case Asi:
        CameraLibraries::asi().setControlValue(cameraId, AsiLibrary::CoolerOn, on, false);
        CameraLibraries::asi().setControlValue(cameraId, AsiLibrary::AntiDewHeater, on, false);
        break;
    case Svbony:
        CameraLibraries::svbony().setControlValue(cameraId, SvbonyLibrary::CoolerEnable, on, false);
        break;
    }
}

int CameraDevice::getTemperature() {
    switch (vendorCode) {
    case PlayerOne: {
        PoaConfigValue value;
        bool isAuto = false;
        CameraLibraries::playerOne().getConfig(cameraId, PlayerOneLibrary::Temperature, &value,
                                               &isAuto);
        return int(value.floatValue);
    }
    case Asi: {
        long value = 0;
        bool isAuto = false;
        CameraLibraries::asi().getControlValue(cameraId, AsiLibrary::Temperature, &value, &isAuto);
        return int(value / 10);
    }
    case Svbony: {
        long value = 0;
        bool isAuto = false;
        CameraLibraries::svbony().getControlValue(cameraId, SvbonyLibrary::CurrentTemperature,
                                                  &value, &isAuto);
        return int(value / 10);
    }
    }
    return 0;
}

void CameraDevice::startSnap() {
    switch (vendorCode) {
    case PlayerOne:
        CameraLibraries::playerOne().startExposure(cameraId, true);
        break;
    case Asi:
        CameraLibraries::asi().startExposure(cameraId, false);
        break;
    case Svbony: {
        SvbonyLibrary& svb = CameraLibraries::svbony();
        if (svb.setCameraMode(cameraId, SvbonyLibrary::SoftTrigger))
            debugLog("Error SVBSetCameraMode");
        if (svb.startVideoCapture(cameraId))
            debugLog("Error SVBStartVideoCapture");
        {
            QMutexLocker lock(&stateMutex);
            svbonySnapPending = true;
        }
        if (svb.sendSoftTrigger(cameraId))
            debugLog("Error SVBSendSoftTrigger");
        break;
    }
    }
}

void CameraDevice::stopSnap() {
    switch (vendorCode) {
    case PlayerOne:
        CameraLibraries::playerOne().stopExposure(cameraId);
        break;
    case Asi:
        CameraLibraries::asi().stopExposure(cameraId);
        break;
    case Svbony: {
        CameraLibraries::svbony().stopVideoCapture(cameraId);
        // A stopped exposure delivers nothing: its reader must not wait for it.
        QMutexLocker lock(&stateMutex);
        svbonySnapPending = false;
        break;
    }
    }
}

void CameraDevice::startVideo() {
    switch (vendorCode) {
    case PlayerOne: {
        const int error = CameraLibraries::playerOne().startExposure(cameraId, false);
        if (error != PlayerOneLibrary::Ok)
            logPlayerOneError("start exposure failed, error code: %s \n", error);
        break;
    }
    case Asi:
        CameraLibraries::asi().startVideoCapture(cameraId);
        break;
    case Svbony:
        CameraLibraries::svbony().setCameraMode(cameraId, SvbonyLibrary::Normal);
        CameraLibraries::svbony().startVideoCapture(cameraId);
        break;
    case Uvc:
        if (!uvc)
            uvc = CameraLibraries::createUvcCapture();
        if (!uvc->isOpened()) {
            uvc->open(cameraId);
            uvc->set(FrameWidth, 1920);
            uvc->set(FrameHeight, 1080);
        }
        break;
    }
}

void CameraDevice::stopVideo() {
    switch (vendorCode) {
    case PlayerOne:
        CameraLibraries::playerOne().stopExposure(cameraId);
        break;
    case Asi:
        CameraLibraries::asi().stopVideoCapture(cameraId);
        break;
    case Svbony:
        CameraLibraries::svbony().stopVideoCapture(cameraId);
        break;
    }
}

bool CameraDevice::isExposing() {
    switch (vendorCode) {
    case PlayerOne: {
        int state = PlayerOneLibrary::Closed;
        CameraLibraries::playerOne().getCameraState(cameraId, &state);
        return state == PlayerOneLibrary::Exposing;
    }
    case Asi: {
        int status = AsiLibrary::Idle;
        CameraLibraries::asi().getExpStatus(cameraId, &status);
        return status == AsiLibrary::Working;
    }
    case Svbony: {
        QMutexLocker lock(&stateMutex);
        return svbonySnapPending;
    }
    case Uvc:
        if (uvc)
            uvc->grab();
        return false;
    }
    return false;
}

bool CameraDevice::getSnapData(std::uint8_t* buffer, long bytes) {
    switch (vendorCode) {
    case PlayerOne: {
        PlayerOneLibrary& poa = CameraLibraries::playerOne();
        bool ready = false;
        poa.imageReady(cameraId, &ready);
        if (!ready)
            return false;
        const int error = poa.getImageData(cameraId, buffer, bytes, exposureUs / 1000 + 500);
        if (error != PlayerOneLibrary::Ok) {
            logPlayerOneError("get image data failed, error code: %s", error);
            return false;
        }
        return true;
    }
    case Asi:
        return CameraLibraries::asi().getDataAfterExp(cameraId, buffer, bytes) == AsiLibrary::Ok;
    case Svbony: {
        QMutexLocker lock(&stateMutex);
        debugLog("snap pass1 %d", int(svbonySnapPending));
        if (svbonySnapPending)
            return false;
        std::memcpy(buffer, svbonySnapBuffer.constData(),
                    size_t(std::min<long>(bytes, svbonySnapBuffer.size())));
        return true;
    }
    }
    return false;
}

bool CameraDevice::getVideoData(std::uint8_t* buffer, long bytes) {
    switch (vendorCode) {
    case PlayerOne: {
        PlayerOneLibrary& poa = CameraLibraries::playerOne();
        const int timeoutMs = exposureUs / 1000 + 500;
        // Polled, but not forever: a camera that stops answering must not hold the reader.
        const std::int64_t giveUp = Clock::nowMs() + 2 * std::int64_t(timeoutMs);
        bool ready = false;
        while (poa.imageReady(cameraId, &ready) == PlayerOneLibrary::Ok && !ready) {
            if (Clock::nowMs() > giveUp)
                return false;
            Clock::sleepMs(1);
        }
        const int error = poa.getImageData(cameraId, buffer, bytes, timeoutMs);
        if (error != PlayerOneLibrary::Ok) {
            logPlayerOneError("get image data failed, error code: %s", error);
            return false;
        }
        return true;
    }
    case Asi:
        return CameraLibraries::asi().getVideoData(cameraId, buffer, bytes,
                                                   frameWaitMs * 2 + 500) == AsiLibrary::Ok;
    case Svbony:
        // Waits as long as it takes; only a stopped capture (the camera closed) ends the wait,
        // so stopping live view or leaving the program never leaves the reader stuck here.
        for (;;) {
            const int error = CameraLibraries::svbony().getVideoData(cameraId, buffer, bytes, -1);
            if (error == SvbonyLibrary::Ok)
                return true;
            if (error != SvbonyLibrary::Timeout)
                return false;
            Clock::sleepMs(1); // a library that fails at once must not spin the reader
        }
    }
    return false;
}

bool CameraDevice::readSvbonySnap() {
    const int bytes = width * height * 2;
    // Only this read writes the buffer, and getSnapData copies it only once the pending flag
    // is clear, so the read needs no lock.
    if (svbonySnapBuffer.size() != bytes)
        svbonySnapBuffer = QByteArray(bytes, '\0');
    SvbonyLibrary& svb = CameraLibraries::svbony();
    if (svb.getVideoData(cameraId, reinterpret_cast<std::uint8_t*>(svbonySnapBuffer.data()), bytes,
                         svbonySnapWaitMs) != SvbonyLibrary::Ok)
        return false;
    {
        QMutexLocker lock(&stateMutex);
        svbonySnapPending = false;
    }
    debugLog("SVBONY snapData get success");
    int dropped = 0;
    svb.getDroppedFrames(cameraId, &dropped);
    if (dropped != 0)
        debugLog("error drop frames: %d", dropped);
    return true;
}

bool CameraDevice::svbonySnapIsPending() const {
    QMutexLocker lock(&stateMutex);
    return svbonySnapPending;
}
