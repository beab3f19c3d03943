#pragma once

#include "CaptureLoop.h"
#include "ImageDisplay.h"
#include "MainLoop.h"

#include <QStringList>
#include <memory>

class CameraDevice;
class CameraReadThread;
class CompositeService;
class DataFolder;
class DigicameSetDialog;
class FocuserService;
class FileWriteThread;
class FilterWheel;
class GamepadService;
class GuiderService;
class ImageDisplay;
class LiveChartOverlay;
class Make3D;
class MainWindow;
class MountConnection;
class SimObservatory;
class SvbonyExpReadThread;
class TimerThread;
struct ProcessState;

// The main program from its settings to its main loop, in the start-up order, so that the
// program and its end-to-end tests run the same code. The application object, its
// translation and the message handlers are the caller's.
class MainProgram {
public:
    MainProgram();
    ~MainProgram();
    MainProgram(const MainProgram&) = delete;
    MainProgram& operator=(const MainProgram&) = delete;

    // Start-up with the command line (the program path first).
    void start(const QStringList& arguments);
    // The endless loop until the exit button; the exit status.
    int run();

    ProcessState& state() { return processState; }
    MainWindow& window() { return *mainWindow; }
    MainLoop& loop() { return mainLoop; }
    CaptureLoop& capture() { return *captureLoop; }
    ImageDisplay& display() { return *imageDisplay; }
    DataFolder& dataFolder() { return *folder; }
    TimerThread& timer() { return *timerThread; }
    MountConnection& mount() { return *mountConnection; }
    GuiderService& guider() { return *guiderService; }
    FilterWheel& filterWheel() { return *wheel; }
    FocuserService& focuser() { return *focuserService; }
    CompositeService& composite() { return *compositeService; }
    Make3D& make3d() { return *stereo; }
    SimObservatory* sim() { return observatory.get(); }
    const LiveChartOverlay& liveOverlay() const { return *chartOverlay; }
    long liveFramesRead() const;

private:
    void startThreads();
    void viewAndCaptureStep();
    void stopThreads();
    // The goto window's plate solve takes its shot through the capture loop; its "デジカメ"
    // opens the digital camera's frame settings.
    void connectGotoWindow();
    // The one frame-settings dialog, made on first use.
    void openDigicamSettings();
    // The sky chart over the live picture, about the telescope's pointing.
    void drawChartOverlay(cv::Mat& canvas, const ImageDisplay::LivePicture& picture);

    ProcessState& processState;
    MainLoop mainLoop;
    std::unique_ptr<SimObservatory> observatory;
    MainWindow* mainWindow = nullptr; // owned by Qt's parent-less window list, deleted here
    std::unique_ptr<ImageDisplay> imageDisplay;
    std::unique_ptr<LiveChartOverlay> chartOverlay;
    std::unique_ptr<DataFolder> folder;
    std::unique_ptr<TimerThread> timerThread;
    std::unique_ptr<CameraReadThread> reader;
    std::unique_ptr<SvbonyExpReadThread> svbonyReader;
    std::unique_ptr<FileWriteThread> writer;
    std::unique_ptr<CaptureLoop> captureLoop;
    std::unique_ptr<GamepadService> gamepad;
    std::unique_ptr<MountConnection> mountConnection;
    std::unique_ptr<FilterWheel> wheel;
    std::unique_ptr<GuiderService> guiderService;
    std::unique_ptr<FocuserService> focuserService;
    std::unique_ptr<CompositeService> compositeService;
    std::unique_ptr<Make3D> stereo;
    DigicameSetDialog* digicamDialog = nullptr; // the main window's child
};
