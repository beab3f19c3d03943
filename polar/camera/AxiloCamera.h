#pragma once

#include "UvcCapture.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <opencv2/core.hpp>

// The USB video camera of the polar scope. At start-up the video devices are listed by the
// helper program uvc_camera into "camera.txt"; the polar camera ("HD USB Camera") is opened
// by its place in that list and set to full size with fixed exposure and gain.
class AxiloCamera {
public:
    static constexpr int frameWidth = 1280, frameHeight = 960;

    // Lists the devices and opens the polar camera; false, after telling the user why, when
    // there is none. `programFolder` is the Windows form of the folder uvc_camera is in.
    bool start(const QString& programFolder);
    bool usable() const { return capture != nullptr; }

    // The next frame, waiting for it at the camera's rate. False when there is none or when
    // it is not a full-size colour frame (logged when the trouble begins).
    bool read(cv::Mat& frame);

    // Closes and reopens the device with the start-up properties, then asks for 10 x `step`
    // gain, so that frames keep their full size.
    void reopenWithGain(int step);

    // The devices "camera.txt" names that are polar cameras: their place in the file's device
    // order. Lines beginning with a blank are not devices.
    static QVector<int> polarCameraIndices(const QByteArray& cameraList);

private:
    bool open(int index);
    void logProperties() const;

    std::unique_ptr<UvcCapture> capture;
    int deviceIndex = -1;
    enum class Trouble { None, NoFrame, OddFrame } trouble = Trouble::None;
};
