#pragma once

#include "GuidePulseSink.h"
#include "GuideSession.h"

#include <QDialog>
#include <QImage>
#include <QVector>
#include <opencv2/core.hpp>

class CameraDevice;
class GuideCameraReadThread;
class GuideTimerThread;
class MountControl;
struct ProcessState;
struct SettingsRecord;

namespace Ui {
class AutoGuider;
}

// The autoguider window: the guide frame with its star boxes, the magnified guide box, the
// graph, and the guider's settings. The guiding itself is the session's; the window measures
// the star in each guide frame, hands the session's pulses to the mount and ends them when
// their time is up.
class AutoGuider : public QDialog, private GuidePulseSink {
    Q_OBJECT
public:
    static constexpr int fullHeight = 736;
    static constexpr int compactHeight = 128;

    AutoGuider(ProcessState& state, CameraDevice& guideCamera, GuideCameraReadThread& reader,
               GuideTimerThread& pulseTimer, QWidget* parent = nullptr);
    ~AutoGuider() override;

    // The main loop's step, on every pass: ends guide pulses that are due and processes a
    // guide frame when one is ready. Does nothing when called again from inside itself (a
    // mount conversation lets events in).
    void processGuideFrame();
    // The capture between exposures.
    void startDither();
    bool isGuiderBusy() const;

    // "終了" was pressed: the owner deletes the window after the step that is running.
    bool closeRequested() const { return closing; }
    // Ends the pulses in flight at once (the window goes away).
    void endPulses();

    const GuideSession& session() const { return guide; }

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void on_pushButton_1_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_34_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_7_clicked();
    void on_pushButton_8_clicked();
    void on_pushButton_9_clicked();
    void on_pushButton_10_clicked();
    void on_pushButton_11_clicked();
    void on_pushButton_16_clicked();
    void on_pushButton_12_clicked();
    void on_pushButton_13_clicked();
    void on_pushButton_14_clicked();
    void on_pushButton_15_clicked();
    void on_pushButton_17_clicked();
    void on_pushButton_18_clicked();
    void on_pushButton_19_clicked();
    void on_pushButton_20_clicked();
    void on_pushButton_21_clicked();
    void on_pushButton_22_clicked();
    void on_pushButton_23_clicked();
    void on_pushButton_24_clicked();
    void on_pushButton_25_clicked();
    void on_pushButton_27_clicked();
    void on_pushButton_26_clicked();
    void on_pushButton_28_clicked();
    void on_pushButton_30_clicked();
    void on_pushButton_31_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_32_clicked();
    void on_pushButton_33_clicked();
    void on_pushButton_35_clicked();
    void on_pushButton_36_clicked();
    void on_pushButton_29_clicked();

private:
    void guidePulse(char letter, int amount) override;
    void endDuePulses();
    void endShortPulses();
    void sendPendingPulses();
    bool guideImage(const cv::Mat& frame, cv::Mat& gray);
    QImage displayImage(const cv::Mat& gray, const cv::Mat& frame) const;
    void search(const cv::Mat& gray, int threshold);
    void choose(QImage& picture, const cv::Mat& gray);
    void run(QImage& picture, const cv::Mat& gray, int threshold);
    void showResult(const GuideFrameResult& result);
    void showGuideBox(const cv::Mat& gray);
    void stopGuiding();
    void showIdleButtons();
    void showRunningButtons();

    void showSettings();
    void showModes();
    void showDirections();
    void showDither();
    void showBinning();
    void showGraph();

    ProcessState& state;
    SettingsRecord& settings;
    CameraDevice& camera;
    GuideCameraReadThread& reader;
    GuideTimerThread& timer;
    Ui::AutoGuider* ui;
    GuideSession guide;
    QVector<int> candidateSizes;       // pixel counts of the whole-frame search's stars
    QVector<GuidePulse> pendingPulses; // the session's pulses of the frame being processed
    bool compact = false;
    bool inStep = false;
    bool closing = false;
    bool emptyFrameTold = false;
};
