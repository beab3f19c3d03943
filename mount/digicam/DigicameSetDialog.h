#pragma once

#include <QDialog>
#include <functional>

class Goto;
class ShutterAdapter;
struct ProcessState;
struct SettingsRecord;

namespace Ui {
class DigicameSetDialog;
}

// The digital camera's frame on the chart: the lens's focal length, the sensor's sides (typed
// or a preset), which way the long side lies, where the frame's centre lies from the goto
// point, and a test of the shutter adapter. Every change shows on the goto window's chart at
// once; the values go to the settings file with its next save.
class DigicameSetDialog : public QDialog {
    Q_OBJECT
public:
    // `gotoWindow` gives the goto window while it is open, else null.
    DigicameSetDialog(ProcessState& state, ShutterAdapter& shutter,
                      std::function<Goto*()> gotoWindow, QWidget* parent = nullptr);
    ~DigicameSetDialog() override;

    // The settings' values on the buttons, and the dialog in front.
    void showSettings();

    // However the dialog is left (閉じる, Esc, the title bar): a shutter the test left open
    // is closed, so the camera does not expose on until its battery runs out; unless a shot
    // has taken the shutter over meanwhile.
    void done(int result) override;

private slots:
    void on_pushButtonFocal_clicked();
    void on_pushButtonLong_clicked();
    void on_pushButtonShort_clicked();
    void on_pushButtonLandscape_clicked();
    void on_pushButtonPortrait_clicked();
    void on_pushButtonReset_clicked();
    void on_pushButtonCentre_clicked();
    void on_pushButtonShutterTest_clicked();
    void on_pushButtonClose_clicked();

private:
    void askSide(int SettingsRecord::*side, const QString& caption);
    void setDigiAngle(int digiAngle);
    // An exposure of the digital camera, or the wait between two of a series.
    bool shooting() const;
    void showValues();
    // The goto window's chart shows the frame as it now is.
    void changed();

    Ui::DigicameSetDialog* ui;
    ProcessState& state;
    SettingsRecord& settings;
    ShutterAdapter& shutter;
    std::function<Goto*()> gotoWindow;
    bool testShutterOpen = false;
};
