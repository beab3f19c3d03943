#include "CameraEnumeration.h"

#include "CameraDevice.h"
#include "CameraEntryList.h"
#include "CameraLibraries.h"
#include "ChildProcess.h"
#include "DebugLog.h"
#include "HostPath.h"
#include "KeyValueText.h"
#include "SettingsFolder.h"
#include "UserPrompt.h"

#include <QFile>

bool enumeratePlayerOne(CameraEntryList& list, int excludeId) {
    PlayerOneLibrary& poa = CameraLibraries::playerOne();
    const int count = poa.getCameraCount();
    debugLog("PlayerOne CameraNo = %d", count);
    for (int i = 0; i < count; ++i) {
        PoaCameraProperties properties;
        if (poa.getCameraProperties(i, &properties) != PlayerOneLibrary::Ok ||
            properties.cameraId == excludeId)
            continue;
        list.addCamera({QString::fromStdString(properties.cameraModelName), CameraDevice::PlayerOne,
                        properties.cameraId, properties.maxWidth, properties.maxHeight,
                        int(properties.isColorCamera)});
    }
    return count != 0;
}

void enumerateAsi(CameraEntryList& list, int excludeId) {
    AsiLibrary& asi = CameraLibraries::asi();
    const int count = asi.getNumOfConnectedCameras();
    for (int i = 0; i < count; ++i) {
        AsiCameraInfo info;
        if (asi.getCameraProperty(&info, i) != AsiLibrary::Ok || info.cameraId == excludeId)
            continue;
        list.addCamera({QString::fromStdString(info.name), CameraDevice::Asi, info.cameraId,
                        int(info.maxWidth), int(info.maxHeight), int(info.isColorCam)});
    }
}

void enumerateSvbony(CameraEntryList& list, int excludeId) {
    SvbonyLibrary& svb = CameraLibraries::svbony();
    const int count = svb.getNumOfConnectedCameras();
    debugLog("SVBONY Camera number: %d", count);
    for (int i = 0; i < count; ++i) {
        SvbCameraInfo info;
        if (svb.getCameraInfo(&info, i) != SvbonyLibrary::Ok || info.cameraId == excludeId)
            continue;
        // The size and the colour flag need an open camera.
        SvbCameraProperty property;
        svb.openCamera(info.cameraId);
        svb.getCameraProperty(info.cameraId, &property);
        svb.closeCamera(info.cameraId);
        list.addCamera({QString::fromStdString(info.friendlyName), CameraDevice::Svbony,
                        info.cameraId, int(property.maxWidth), int(property.maxHeight),
                        int(property.isColorCam)});
    }
}

void enumerateUvc(CameraEntryList& list, int excludeId, const QString& programFolder) {
    const QString helper = programFolder + "\\uvc_camera.exe";
    if (ChildProcess::runAndWait(helper, {}) < 0) {
        UserPrompt::showMessage(QStringLiteral("spawnlエラー"));
        return;
    }
    const QString listFile = SettingsFolder::file("camera.txt");
    QFile file(HostPath::toHost(listFile));
    if (!file.open(QIODevice::ReadOnly)) {
        UserPrompt::showMessage(listFile);
        return;
    }
    int devices = 0;
    QByteArray line;
    while (KeyValueText::readPiece(file, &line)) {
        if (line.isEmpty() || line.at(0) == ' ' || line.at(0) == '\t')
            continue;
        const QByteArray name = line.trimmed();
        debugLog("camera find %s", name.constData());
        if (line.startsWith("USB Camera")) {
            if (devices != excludeId)
                list.addCamera({"UVC Camera", CameraDevice::Uvc, devices, 1920, 1080, 1});
            return;
        }
        ++devices;
    }
}

void enumerateCanon(CameraEntryList& list, int excludeId) {
    CanonLibrary& edsdk = CameraLibraries::canon();
    edsdk.initializeSdk();
    CanonLibrary::Handle cameras = 0;
    if (edsdk.getCameraList(&cameras) != CanonLibrary::Ok)
        return;
    int count = 0;
    edsdk.getChildCount(cameras, &count);
    debugLog("Canon Camera number: %d", count);
    for (int i = 0; i < count; ++i) {
        CanonLibrary::Handle camera = 0;
        CanonDeviceInfo info;
        if (edsdk.getChildAtIndex(cameras, i, &camera) != CanonLibrary::Ok ||
            edsdk.getDeviceInfo(camera, &info) != CanonLibrary::Ok)
            continue;
        debugLog("%s", info.portName.c_str());
        if (i == excludeId)
            continue;
        list.addCamera(
            {QString::fromStdString(info.description), CameraDevice::Canon, i, 5472, 3648, 1});
    }
}
