#include "GuideCameraOpen.h"

#include "CameraDevice.h"
#include "CameraEntryList.h"
#include "CameraEnumeration.h"
#include "CameraList.h"
#include "Clock.h"
#include "DebugLog.h"
#include "SettingsRecord.h"
#include "UserPrompt.h"

#include <exception>

GuideCameraOpen::GuideCameraOpen(CameraDevice& guideCamera, const SettingsRecord& record,
                                 const QString& programFolder)
    : guide(guideCamera)
    , settings(record)
    , appDir(programFolder) {}

bool GuideCameraOpen::open(const MainCamera& main, QWidget* parent) {
    CameraEntryList entries;
    const bool anyCamera = main.digitalCameraMode || main.noCamera || !main.camera;
    // The main camera's own library lists every camera but the main one.
    const auto exclude = [&](int vendor) {
        return !anyCamera && main.camera->vendor() == vendor ? main.camera->cameraId : -1;
    };
    const bool vendorKnown = anyCamera || main.camera->vendor() == CameraDevice::PlayerOne ||
                             main.camera->vendor() == CameraDevice::Asi ||
                             main.camera->vendor() == CameraDevice::Svbony;
    if (vendorKnown) {
        enumeratePlayerOne(entries, exclude(CameraDevice::PlayerOne));
        enumerateAsi(entries, exclude(CameraDevice::Asi));
        enumerateSvbony(entries, exclude(CameraDevice::Svbony));
        enumerateUvc(entries, -1, appDir);
    }
    if (entries.count() == 0) {
        UserPrompt::showMessage(QStringLiteral("ガイドカメラがありません"));
        return false;
    }
    CameraEntry chosen;
    CameraList chooser(entries, parent);
    chooser.setPrompt(QStringLiteral("ガイドカメラを選択してください"));
    chooser.showList(&chosen);
    if (entries.count() < 2) {
        chooser.takeFirst();
    } else if (chooser.exec() != QDialog::Accepted) {
        debugLog("No guide camera chosen");
        return false;
    }
    debugLog("cameraName=%s", chosen.name.toUtf8().constData());
    return openChosen(chosen.vendor, chosen.cameraId);
}

bool GuideCameraOpen::openChosen(int vendor, int cameraId) {
    try {
        switch (vendor) {
        case CameraDevice::PlayerOne:
            guide.openPlayerOne(cameraId);
            break;
        case CameraDevice::Asi:
            guide.openAsi(cameraId);
            break;
        case CameraDevice::Svbony:
            guide.openSvbony(cameraId);
            break;
        case CameraDevice::Uvc:
            if (!guide.uvc || !guide.uvc->isOpened())
                guide.openUvc(cameraId);
            break;
        }
        if (guide.width <= 0 || guide.height <= 0) {
            UserPrompt::showMessage(QStringLiteral("Guide camera select Try Catch"));
            return false;
        }
        if (guide.width < 1280 || guide.height < 960) {
            guide.setFormat(imageWidth, imageHeight, 1, 8);
            debugLog("No Binning Enable");
        } else if (guide.vendor() != CameraDevice::Uvc) {
            guide.setFormat(imageWidth, imageHeight, 2, 8);
            debugLog("2*2 Binning Enable");
        }
        // A large video-class camera keeps its size: the autoguider folds its frames.
        guide.setGain(settings.ggain);
        guide.setExposureIndex(settings.gexposure);
        guide.startVideo();
    } catch (const std::exception&) {
        UserPrompt::showMessage(QStringLiteral("Guide camera select Try Catch"));
        return false;
    }
    Clock::sleepMs(300);
    return true;
}
