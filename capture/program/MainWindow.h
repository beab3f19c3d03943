#pragma once

#include "CaptureScreen.h"

#include <QMainWindow>
#include <QPointer>
#include <climits>
#include <functional>
#include <memory>

class CaptureLoop;
class DataFolder;
class FilterWheel;
class Goto;
class LiveTouchMove;
class ImageDisplay;
class MountConnection;
class Motor;
class TimerThread;
struct ProcessState;
struct SettingStep;
class QLabel;
class QPushButton;

namespace Ui {
class MainWindow;
}

// The main window of Vesperix: the image, the capture and live-view settings and the buttons
// of every feature. Its modes follow the capture state: 0 idle, 1 live view, 2 capturing,
// 3 viewing the last image.
class MainWindow : public QMainWindow, public CaptureScreen {
    Q_OBJECT
public:
    explicit MainWindow(ProcessState& state, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The capture, the display and the data folder, once start-up has made them.
    void attach(CaptureLoop& capture, ImageDisplay& display, DataFolder& folder,
                TimerThread& timer);

    // The one routine that switches the buttons and panels for a mode (0..3).
    void setMode(int mode) override;
    int mode() const { return currentMode; }

    void showTimeText(const QString& text) override;
    void showFileName(const QString& text) override;
    void showShootingInfo(const ShootingData& data, const QString& date) override;
    void showMasterNames(const QString& dark, const QString& flat) override;
    void showTemperature(int celsius) override;

    // The mount's connection behind the "接続" button.
    void attachMount(MountConnection& connection);
    // "接続中" in red while a mount is connected, else "接続" in white.
    void showMountLook(bool connected);
    // The filter wheel behind the position buttons; it shows its slots through the window.
    void attachFilterWheel(FilterWheel& wheel);
    // The first `count` position buttons (at most nine), the 1-based `current` one in red;
    // a count of 0 hides them.
    void showFilterSlots(int count, int current);

    // The goto window while it is open, else null.
    Goto* gotoWindowOpen() const { return gotoWindow; }

    // The drive buttons: the drives that exist, the data drive in red.
    void scanDrives();
    // The data folder's current file on screen, with its shooting data.
    void showCurrentFile();

    void setCameraLabel(const QString& text);
    // Beside the pixel-size button; the settings' pixel size until a camera gives its own.
    void showPixelSize(double micrometres);
    // Without a camera: no live view, dark, flat or batch; outside digital-camera mode also
    // no capture and one-shot buttons.
    void hideControlsWithoutCamera();
    // The cooling panel follows the camera's cooler; never shown in digital-camera mode.
    void showCoolingPanel(bool hasCooler);

    // Shrinks the widget's font when its text would not fit: the pixel size becomes the
    // width divided by the text's length in full-width characters.
    static void fitText(QPushButton* button);
    static void fitText(QLabel* label);

    // Ends the program after the exit button has saved everything; set by the start-up code.
    std::function<void()> exitAction;
    // "ガイド": the autoguider's owner opens or raises its window.
    std::function<void()> guiderAction;
    // "フォーカス": the focuser's owner opens its dialog when it is not open.
    std::function<void()> focuserAction;
    // A goto window has just been made.
    std::function<void(Goto&)> gotoOpened;
    // "画角" (digital-camera mode only): the digital camera's frame settings open.
    std::function<void()> digicamAction;
    // "コンポジット" and "追加": the composite's owner opens its window or adds the current file.
    std::function<void()> compositeAction;
    std::function<void()> compositeAddAction;
    // "3D化": the 3D conversion's owner converts the current file.
    std::function<void()> make3dAction;
    // The composite's label: "新規", the base's name, or the saved composite's path.
    void showCompositeLabel(const QString& text);

    // Presses the buttons the gamepad stands for (object names from MainWindowGamepad)
    // and pans the zoomed view; a hidden or disabled button does nothing, as it would under
    // a finger.
    void pressButtons(const QStringList& objectNames);

private slots:
    void on_pushButton_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_7_clicked();
    void on_pushButton_38_clicked();
    void on_pushButton_33_clicked();
    void on_pushButton_36_clicked();
    void on_pushButton_37_clicked();
    void on_pushButton_73_clicked();
    void on_pushButton_74_clicked();
    void on_pushButton_75_clicked();
    void on_pushButton_76_clicked();
    void on_pushButton_45_clicked();
    void on_pushButton_30_clicked();
    void on_pushButton_31_clicked();
    void on_pushButton_69_clicked();
    void on_pushButton_77_clicked();
    void on_pushButton_78_clicked();
    void on_pushButton_35_clicked();
    void on_pushButton_56_clicked();
    void on_pushButton_57_clicked();
    void on_pushButton_58_clicked();
    void on_pushButton_59_clicked();
    void on_pushButton_62_clicked();
    void on_pushButton_90_clicked();
    void on_pushButton_72_clicked();
    void on_pushButton_60_clicked();
    void on_pushButton_61_clicked();
    void on_pushButton_26_clicked();
    void on_pushButton_27_clicked();
    void on_pushButton_28_clicked();
    void on_pushButton_29_clicked();
    void on_pushButton_32_clicked();
    void on_pushButton_34_clicked();
    void on_pushButton_79_clicked();
    void on_pushButton_80_clicked();
    void on_pushButton_81_clicked();
    void on_pushButton_82_clicked();
    void on_pushButton_83_clicked();
    void on_pushButton_84_clicked();
    void on_pushButton_85_clicked();
    void on_pushButton_86_clicked();
    void on_pushButton_87_clicked();
    void on_pushButton_88_clicked();
    void on_pushButton_89_clicked();
    void on_verticalSlider_valueChanged(int value);
    void on_pushButtonStretch_clicked();

private:
    void step(const SettingStep& step);
    void showSettings();
    void showSwitches();
    void switchCorrection(int operation, bool on);
    void correctCurrentFile(int operation);
    void setLiveBright(int value);
    void setButtonText(QPushButton* button, const QString& text);
    void hideDigitalCameraGroups();
    void fitAllTexts();
    void openFileSelect(int mode, QLabel* nameLabel);
    void selectDrive(QPushButton* button);
    void markCooling(QPushButton* pressed);
    void redrawAfterViewChange();
    void showRotateIcon();
    // The live view's touches: zoom, pan, focus point, and the drag that moves the telescope.
    void connectViewTouch();
    void zoomView(bool in);
    // "星図" and "星図合わせ" in red while on, in live view.
    void showChartSwitches();
    void openFullScreenView();
    void panView(const QString& canvasOffsets);
    void showStretchSwitch();
    void selectFilter(int index);
    void reinitFilterWheel();
    QList<QPushButton*> filterPositionButtons() const;

    Ui::MainWindow* ui;
    ProcessState& state;
    int currentMode = 0;
    bool withoutCamera = false;
    CaptureLoop* capture = nullptr;
    ImageDisplay* display = nullptr;
    DataFolder* folder = nullptr;
    TimerThread* timer = nullptr;
    MountConnection* mountConnection = nullptr;
    FilterWheel* filterWheel = nullptr;
    Goto* gotoWindow = nullptr;
    std::unique_ptr<LiveTouchMove> liveTouch;
    QPointer<Motor> motorWindow; // a child: it goes with the window
    int shownTemperature = INT_MIN;
    int fileFrameNumber = -1; // the display's number of the stored file shown last
};
