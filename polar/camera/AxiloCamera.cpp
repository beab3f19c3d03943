#include "AxiloCamera.h"

#include "AxiloPrompt.h"
#include "CameraLibraries.h"
#include "ChildProcess.h"
#include "DebugLog.h"
#include "HostPath.h"
#include "KeyValueText.h"
#include "SettingsFolder.h"

#include <QBuffer>
#include <QFile>

namespace {

// OpenCV's numbers of the capture properties.
enum Property {
    Brightness = 10,
    Contrast = 11,
    Gain = 14,
    Exposure = 15,
    FrameWidth = 3,
    FrameHeight = 4,
    AutoExposure = 21,
    Gamma = 22,
};

// The camera's settings from start-up on, in the order they are set.
const struct {
    Property property;
    double value;
} startUpProperties[] = {
    {FrameWidth, AxiloCamera::frameWidth},
    {FrameHeight, AxiloCamera::frameHeight},
    {AutoExposure, 0},
    {Gain, 100},
    {Exposure, -2},
    {Gamma, 300},
    {Brightness, 20},
    {Contrast, 32},
};

const char polarCameraName[] = "HD USB Camera";

} // namespace

QVector<int> AxiloCamera::polarCameraIndices(const QByteArray& cameraList) {
    QByteArray text = cameraList;
    QBuffer in(&text);
    in.open(QIODevice::ReadOnly);
    QVector<int> found;
    int device = 0;
    QByteArray line;
    while (KeyValueText::readPiece(in, &line)) {
        if (line.isEmpty() || line.at(0) == ' ' || line.at(0) == '\t')
            continue;
        debugLog("camera find %s", line.trimmed().constData());
        if (line.startsWith(polarCameraName))
            found << device;
        ++device;
    }
    return found;
}

bool AxiloCamera::start(const QString& programFolder) {
    if (ChildProcess::runAndWait(programFolder + "\\uvc_camera.exe", {}) < 0)
        AxiloPrompt::showMessage(QStringLiteral("spawnlエラー"));
    QFile listFile(HostPath::toHost(SettingsFolder::file("camera.txt")));
    if (!listFile.open(QIODevice::ReadOnly)) {
        debugLog("camera.txt cannot be read");
        AxiloPrompt::showMessage(QStringLiteral("カメラ情報ファイル(camera.txt)を読めません"));
        return false;
    }
    const QVector<int> devices = polarCameraIndices(listFile.readAll());
    if (devices.isEmpty()) {
        AxiloPrompt::showMessage(QStringLiteral("カメラがありません"));
        return false;
    }
    int chosen = 0;
    if (devices.size() > 1) {
        // Two polar cameras: the user says which one looks through the mount.
        QStringList entries;
        for (int i = 0; i < devices.size(); ++i) {
            entries << QString::asprintf("[%d] %s width=%d height=%d", i, "UVC Camera",
                                         frameWidth / 2, frameHeight / 2);
        }
        chosen = AxiloPrompt::chooseCamera(entries);
        if (chosen < 0)
            return false;
    }
    debugLog("cameraName=%s[%d]", "UVC Camera", devices.at(chosen));
    return open(devices.at(chosen));
}

bool AxiloCamera::open(int index) {
    capture = CameraLibraries::createUvcCapture();
    if (!capture || !capture->open(index)) {
        debugLog("camera %d cannot be opened", index);
        capture.reset();
        return false;
    }
    deviceIndex = index;
    for (const auto& setting : startUpProperties)
        capture->set(setting.property, setting.value);
    logProperties();
    return true;
}

void AxiloCamera::logProperties() const {
    const auto value = [this](Property property) { return int(capture->get(property)); };
    debugLog("gain=%d", value(Gain));
    debugLog("exposure=%d", value(Exposure));
    debugLog("gamma=%d", value(Gamma));
    debugLog("brightness=%d", value(Brightness));
    debugLog("contrast=%d", value(Contrast));
    debugLog("width=%d", value(FrameWidth));
    debugLog("height=%d", value(FrameHeight));
    debugLog("auto exp=%d", value(AutoExposure));
}

void AxiloCamera::reopenWithGain(int step) {
    if (!capture)
        return;
    capture->release();
    if (!open(deviceIndex))
        return;
    capture->set(Gain, 10.0 * step);
    debugLog("gain=%d", int(capture->get(Gain)));
}

bool AxiloCamera::read(cv::Mat& frame) {
    if (!capture)
        return false;
    // Each kind of trouble is logged when it begins, not once a frame.
    if (!capture->read(frame) || frame.empty()) {
        if (trouble != Trouble::NoFrame)
            debugLog("no frame from the camera");
        trouble = Trouble::NoFrame;
        return false;
    }
    if (frame.cols != frameWidth || frame.rows != frameHeight || frame.type() != CV_8UC3) {
        if (trouble != Trouble::OddFrame)
            debugLog("frame of %dx%d, %d channels skipped", frame.cols, frame.rows,
                     frame.channels());
        trouble = Trouble::OddFrame;
        return false;
    }
    if (trouble != Trouble::None)
        debugLog("frames again");
    trouble = Trouble::None;
    return true;
}
