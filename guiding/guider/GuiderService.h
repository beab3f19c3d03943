#pragma once

#include <memory>

class AutoGuider;
class CameraDevice;
class GuideCameraReadThread;
class GuideTimerThread;
class MountConnection;
class QWidget;
struct CaptureHooks;
struct ProcessState;

// The autoguider's place in the main program: the guide camera and its two threads, which
// live as long as the program, and the autoguider window, which comes and goes. The main
// window's button opens it, the main loop steps it, the capture asks it between frames.
class GuiderService {
public:
    GuiderService(ProcessState& state, MountConnection& mount);
    ~GuiderService();
    GuiderService(const GuiderService&) = delete;
    GuiderService& operator=(const GuiderService&) = delete;

    // The main window's "ガイド" button: refused in live view, else the mount is connected and
    // the guide camera opened before the window shows, or it is raised when it exists.
    void open(QWidget* mainWindow);
    // The main loop's step while the window exists; a window closed meanwhile goes here.
    void step();
    void installHooks(CaptureHooks& hooks);

    AutoGuider* window() const { return guider; }
    GuideCameraReadThread& reader() { return *guideReader; }

private:
    void closeWindow();

    ProcessState& state;
    MountConnection& mount;
    std::unique_ptr<CameraDevice> guideCamera;
    std::unique_ptr<GuideCameraReadThread> guideReader;
    std::unique_ptr<GuideTimerThread> guideTimer;
    bool cameraOpen = false;
    AutoGuider* guider = nullptr;
};
