#pragma once

#include "CameraEntry.h"
#include "LauncherApps.h"

#include <QMutex>
#include <QString>
#include <atomic>

class CameraDevice;
class ComPort;
class MountControl;
class PhotoHistory;
struct SettingsRecord;
struct StarCatalog;
class ChartSky;

// The main program's process-wide state, created once at start-up and read by every window
// and worker thread. Names are the program's own.
struct ProcessState {
    QString exePath;
    QString appDir; // exePath up to its last backslash
    bool digitalCameraMode = false;
    bool noCamera = true;

    SettingsRecord* settings = nullptr;
    PhotoHistory* photoHistory = nullptr;
    StarCatalog* catalog = nullptr;
    ChartSky* chartSky = nullptr; // the catalogues as the charts draw them
    CameraDevice* camera = nullptr;
    CameraEntry selectedCamera;
    // The mount's sync point in degrees, from the settings at start-up.
    double syncPointRa = 0;
    double syncPointDec = 0;
    // The mount while it is connected, else null: every caller checks it.
    MountControl* mount = nullptr;
    // The tube's side of the pier from the last HOME goto: 1 east, 2 west, -1 before any.
    int pierSide = -1;
    LauncherApps launcherApps;
    ComPort* mountComPort = nullptr;   // the port to the mount, chosen by the user
    ComPort* shutterComPort = nullptr; // the shutter adapter's port, found by its USB ids

    // 0 idle, 1 live view, 2 exposing, 3 series finished and last image shown, 4 waiting for
    // the next exposure of a series. Read without the lock, written under stateMutex.
    std::atomic<int> captureState{0};
    QMutex stateMutex;
    // Held while a live buffer is filled or copied, and around the cooler's temperature read
    // that starts slow warming.
    QMutex frameMutex;
    std::atomic<bool> stopRequested{false};
    int darkCaptureMode = 0;
    int flatCaptureMode = 0;
    int accumulatedCount = 0;
    int autoComposite = 0;
    int darkOn = 0;
    int flatOn = 0;
    bool solveShot = false;
    int infoPanelOn = 0;
    bool liveOverlayOn = true;
    // The screen's automatic stretch: of stored frames and the series preview, and of live view.
    bool previewStretch = true;
    bool liveStretch = false;
    // Windows in front of the main window that take the gamepad while they are open: the
    // full-screen view, and the goto and composite windows, which set theirs when they come.
    std::atomic<bool> evfOpen{false};
    std::atomic<bool> gotoOpen{false};
    std::atomic<bool> compositeOpen{false};
    // The last plate solve's frame rotation in degrees; until one, that of a camera with north
    // up, which the solver gives as 180.
    double imageRote = 180;
    // Degrees of sky per display pixel along the display's axes, for the chart overlay.
    double degreePerPixW = 0;
    double degreePerPixH = 0;
};

ProcessState& processState();
// A fresh state as at the program's start, for a second program in the same process (tests).
void renewProcessState();
