#pragma once

#include "CaptureHooks.h"
#include "ShootingData.h"

#include <QDateTime>
#include <QString>
#include <opencv2/core.hpp>

class CameraDevice;
class CameraReadThread;
class CaptureScreen;
class DataFolder;
class FileWriteThread;
class ImageDisplay;
class ShutterAdapter;
class SvbonyExpReadThread;
class TimerThread;
struct ProcessState;
struct WrittenFiles;

// The capture core on the UI thread: live view, the start of every exposure kind, and the
// state machine that times, reads, corrects, shows, saves and repeats exposures. One pass of
// step() per main-loop pass.
class CaptureLoop {
public:
    struct Devices {
        CameraDevice* camera = nullptr;              // null without a camera
        CameraReadThread* reader = nullptr;          // null without a camera
        SvbonyExpReadThread* svbonyReader = nullptr; // SVBONY cameras only
        TimerThread* timer = nullptr;
        FileWriteThread* writer = nullptr;
        ShutterAdapter* shutter = nullptr; // the shutter adapter's port, digital-camera mode
    };

    CaptureLoop(ProcessState& state, const Devices& devices, ImageDisplay& display,
                DataFolder& folder, CaptureScreen& screen);

    CaptureHooks hooks;

    // pushButton_7.
    void toggleLiveView();
    // The common start of every exposure kind; false when it was refused.
    bool startCapture();

    // The series buttons. 33 and 34 only start series in idle; elsewhere they are the
    // view's zoom and info buttons.
    void pressCapture();    // pushButton_6
    void pressOneShot();    // pushButton_38
    void pressDarkSeries(); // pushButton_33 in idle
    void pressFlatSeries(); // pushButton_34 in idle
    // The dark (operation 0) or flat (1) switch; false when it stays off because its master
    // could not be loaded for the series that is running.
    bool switchCorrection(int operation, bool on);
    // A plate-solve shot, with `solveShot` set by the caller.
    bool startSolveShot();

    // Main-loop step: the state machine for the current capture state.
    void step();

    // The degrees per display pixel along each display axis, for the chart overlay; the
    // rotate button refreshes them.
    void updateFieldOfView();
    bool liveViewBinned() const { return binnedLive; }
    int liveWidth() const { return liveSize.width; }
    int liveHeight() const { return liveSize.height; }

    // Makes the preview on screen again, with the stretch as it is now switched; false when
    // the picture on screen is not the capture's preview.
    bool redrawPreview();

private:
    bool dslrPath() const;
    // A light series' field goes into the photo history, drawn on the charts.
    void recordPhotographedField();
    bool isUvc() const;
    bool masterSeries() const;
    bool largeSensor() const;
    int exposureSeconds() const;
    void setState(int captureState);
    void startSnap();
    void startSeries(const char* logLine, bool singleFrame);
    bool loadMaster(int operation);

    void showLiveFrame();
    void exposing();
    void intervalWait();
    bool serveStopRequest();
    void finishFrame();
    bool readFrame();
    bool readUvcFrames();
    void processFrame();
    void makePreview(const cv::Mat& frame16);
    void showPreview();
    void keepFrame();
    void writeLightFrame();
    void writeMaster();
    void serviceWriter();
    void waitForWriter();
    void registerWritten(const WrittenFiles& written);
    void checkExposureTimeout(int countdown);

    QString timeText(int minutesSeconds, int lastField) const;
    // The exposure and gain the frames of the series are taken at.
    struct SeriesExposure {
        int numerator, denominator, gain;
    };
    SeriesExposure seriesExposure() const;
    ShootingData shootingDataFor(char kind) const;
    void fillShownData();
    void fillLiveShownData();

    ProcessState& state;
    Devices devices;
    ImageDisplay& display;
    DataFolder& folder;
    CaptureScreen& screen;

    bool binnedLive = false;
    cv::Size liveSize;
    int lastCountdown = -1;
    bool writeSucceeded = true; // the last file written, for the next exposure of a series

    cv::Mat raw;         // 16-bit raw frame of the running exposure
    cv::Mat frame8;      // its 8-bit picture
    cv::Mat accumulator; // running mean of a dark or flat series
    cv::Mat liveFrame;
    cv::Mat masterDark;
    cv::Mat masterFlat;
    int appliedCorrection = 0; // what the frame just processed really had done to it
    QDateTime exposureStart;   // of the running exposure
    QDateTime masterStart;     // of the first frame of the running dark or flat series
    ShootingData shown;        // of the frame on screen
    QString shownDateText;

    // What the preview on screen was made from: its 16-bit frame until the writer has put that
    // on disk, then the file; and the display's number of the preview.
    cv::Mat previewSource;
    QString previewFile;
    bool previewHandedOver = false;
    int previewNumber = -1;
};
