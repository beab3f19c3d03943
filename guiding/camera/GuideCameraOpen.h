#pragma once

#include <QString>

class CameraDevice;
class QWidget;
struct SettingsRecord;

// Opens the guide camera: lists the cameras other than the main one, lets the user choose when
// there are several, opens the choice at 640 × 480 (binned 2 × 2 on a large sensor) with the
// stored gain and exposure, and starts its video. False, after telling the user, when there is
// no camera to guide with or it failed to open.
class GuideCameraOpen {
public:
    struct MainCamera {
        const CameraDevice* camera = nullptr; // null in digital-camera mode or without a camera
        bool digitalCameraMode = false;
        bool noCamera = false;
    };

    GuideCameraOpen(CameraDevice& guideCamera, const SettingsRecord& settings,
                    const QString& appDir);

    bool open(const MainCamera& main, QWidget* parent);

    // The guide image: SDK frames come in this size, video-class frames are folded to it.
    static constexpr int imageWidth = 640;
    static constexpr int imageHeight = 480;

private:
    bool openChosen(int vendor, int cameraId);

    CameraDevice& guide;
    const SettingsRecord& settings;
    const QString appDir;
};
