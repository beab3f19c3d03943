#include "MainWindow.h"

#include "CameraDevice.h"
#include "CaptureLoop.h"
#include "Cooling.h"
#include "DarkFlat.h"
#include "DarkFlatBatch.h"
#include "DataDrives.h"
#include "DataFolder.h"
#include "EvfWindow.h"
#include "ExternalPrograms.h"
#include "FileSelectDialog.h"
#include "FilterWheel.h"
#include "FrameFiles.h"
#include "Goto.h"
#include "HostPath.h"
#include "ImageDisplay.h"
#include "InfoPanelTexts.h"
#include "LiveExposure.h"
#include "LiveTouchMove.h"
#include "MainWindowGamepad.h"
#include "Motor.h"
#include "MountConnection.h"
#include "PhotoHistory.h"
#include "ProcessState.h"
#include "SettingSteps.h"
#include "SettingsFile.h"
#include "SettingsRecord.h"
#include "ShownFile.h"
#include "StartUp.h"
#include "TextFit.h"
#include "TimerThread.h"
#include "TotalDarkFlat.h"
#include "ui_MainWindow.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QGroupBox>
#include <QMutexLocker>
#include <QScreen>
#include <QStatusBar>
#include <algorithm>

namespace {

const char* const switchOnStyle = "color: red;";

void markActive(QPushButton* active, QPushButton* inactive) {
    active->setStyleSheet(switchOnStyle);
    inactive->setStyleSheet(QString());
}

const char* const coolingPressed = "background-color: red; color: white;";
const char* const coolingOther = "background-color: rgb(0, 0, 128); color: white;";

const char* const filterSlotCurrent = "background-color:rgb(0, 0, 127) ; color:red";
const char* const filterSlotOther = "background-color:rgb(0, 0, 127) ; color:white";
const char* const filterPressed = "background-color:rgb(0, 0, 127);color:red";
const char* const filterNotPressed = "background-color:rgb(0, 0, 127);color:white";

} // namespace

MainWindow::MainWindow(ProcessState& processState, QWidget* parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , state(processState) {
    ui->setupUi(this);
    // A touch screen: text sizes in pixels, whatever the screen's dots per inch.
    // Set on every widget: under the window's style sheet a parent's font does not reach
    // the children.
    QFont base = font();
    base.setPixelSize(16);
    setFont(base);
    for (QWidget* widget : findChildren<QWidget*>())
        widget->setFont(base);
    // Group titles smaller, so they stay clear of the buttons below them.
    QFont title = base;
    title.setPixelSize(12);
    for (QGroupBox* group : findChildren<QGroupBox*>())
        group->setFont(title);
    setAttribute(Qt::WA_AcceptTouchEvents);

    for (const SettingStep& entry : settingSteps()) {
        auto* button = findChild<QPushButton*>(entry.button);
        connect(button, &QPushButton::clicked, this, [this, &entry] { step(entry); });
    }

    const SettingsRecord& settings = *state.settings;
    showSettings();
    statusBar()->hide();
    setMode(0);
    ui->labelFileName->setText("---");
    // The drive buttons appear with the drive scan; the scan button itself stays.
    for (QPushButton* button : ui->driveButtons->findChildren<QPushButton*>())
        button->setVisible(button == ui->pushButton_45);
    for (QPushButton* button : ui->filterWheelButtons->findChildren<QPushButton*>())
        button->hide();
    ui->groupBoxInfo->hide();
    // Empty until a frame is on screen: the form's texts are only placeholders.
    for (QLabel* label : ui->groupBoxInfo->findChildren<QLabel*>())
        label->clear();
    ui->label_16->hide();
    ui->labelDarkFileName->setText(settings.preDark);
    ui->labelFlatFileName->setText(settings.preFlat);
    showSwitches();
    ui->labelFocal->setText(QString::number(settings._focal) + "mm");
    showPixelSize(settings.pixSize / 100.0);
    showMountLook(false);
    showRotateIcon();
    ui->verticalSlider->setValue(settings.liveBright);
    // With StellaImage the view row's last place is the full-screen button's in mode 3; the
    // stretch switch then sits in the right column, below the info panel, in every mode.
    if (state.launcherApps.hasStellaImage)
        ui->pushButtonStretch->move(1184, 200);
    fitAllTexts();
}

void MainWindow::attachFilterWheel(FilterWheel& wheel) {
    filterWheel = &wheel;
    wheel.showSlots = [this](int count, int current) { showFilterSlots(count, current); };
    const QList<QPushButton*> positions = filterPositionButtons();
    for (int index = 0; index < positions.size(); ++index)
        connect(positions[index], &QPushButton::clicked, this,
                [this, index] { selectFilter(index); });
    connect(ui->pushButton_55, &QPushButton::clicked, this, &MainWindow::reinitFilterWheel);
}

QList<QPushButton*> MainWindow::filterPositionButtons() const {
    return {ui->pushButton_46, ui->pushButton_47, ui->pushButton_48,
            ui->pushButton_49, ui->pushButton_50, ui->pushButton_51,
            ui->pushButton_52, ui->pushButton_53, ui->pushButton_54};
}

void MainWindow::showFilterSlots(int count, int current) {
    const QList<QPushButton*> positions = filterPositionButtons();
    for (int index = 0; index < positions.size(); ++index) {
        positions[index]->setVisible(index < count);
        positions[index]->setStyleSheet(index + 1 == current ? filterSlotCurrent : filterSlotOther);
    }
    // The way to look for the wheel again once it is unplugged or swapped stays with it.
    if (count > 0)
        ui->pushButton_55->show();
}

void MainWindow::selectFilter(int index) {
    const QList<QPushButton*> positions = filterPositionButtons();
    for (int other = 0; other < positions.size(); ++other)
        positions[other]->setStyleSheet(other == index ? filterPressed : filterNotPressed);
    filterWheel->setFilterPosition(index);
}

void MainWindow::reinitFilterWheel() {
    filterWheel->initFilterWheel();
    selectFilter(0);
}

MainWindow::~MainWindow() {
    delete ui;
}

void MainWindow::fitText(QPushButton* button) {
    TextFit::fit(button, button->text());
}

void MainWindow::fitText(QLabel* label) {
    TextFit::fit(label, label->text());
}

void MainWindow::fitAllTexts() {
    for (QPushButton* button : findChildren<QPushButton*>())
        fitText(button);
    for (QLabel* label : findChildren<QLabel*>())
        fitText(label);
}

void MainWindow::setButtonText(QPushButton* button, const QString& text) {
    button->setText(text);
    fitText(button);
}

void MainWindow::showPixelSize(double micrometres) {
    ui->labelPixSize->setText(QString::number(micrometres) + QStringLiteral("μm"));
    fitText(ui->labelPixSize);
}

void MainWindow::setCameraLabel(const QString& text) {
    ui->labelCameraName->setText(text);
    fitText(ui->labelCameraName);
}

void MainWindow::showSettings() {
    const SettingsRecord& settings = *state.settings;
    ui->lcdNumberGain->display(settings.gain);
    ui->lcdNumberTimMin->display(settings.timMin);
    ui->lcdNumberTimSec->display(settings.timSec);
    ui->lcdNumberTimRep->display(settings.timRep);
    ui->lcdNumberTimInt->display(settings.timInt);
    ui->lcdNumberLiveGain->display(settings.lgain);
    ui->labelExposure->setText(LiveExposure::label(settings.lexposure));
    fitText(ui->labelExposure);
    ui->lcdNumberTemp->display(settings.temp);
    ui->lcdNumberSlowC->display(settings.slowC);
    ui->lcdNumberSlowW->display(settings.slowW);
}

void MainWindow::showSwitches() {
    if (state.darkOn)
        markActive(ui->pushButton_26, ui->pushButton_27);
    else
        markActive(ui->pushButton_27, ui->pushButton_26);
    if (state.flatOn)
        markActive(ui->pushButton_28, ui->pushButton_29);
    else
        markActive(ui->pushButton_29, ui->pushButton_28);
    if (state.autoComposite)
        markActive(ui->pushButton_81, ui->pushButton_82);
    else
        markActive(ui->pushButton_82, ui->pushButton_81);
}

void MainWindow::step(const SettingStep& entry) {
    SettingsRecord& settings = *state.settings;
    if (!applyStep(settings, entry))
        return;
    showSettings();
    const bool cameraOpen = state.camera && !state.noCamera;
    if (cameraOpen && entry.field == &SettingsRecord::lgain)
        state.camera->setGain(settings.lgain);
    else if (cameraOpen && entry.field == &SettingsRecord::lexposure)
        state.camera->setExposureIndex(settings.lexposure);
}

void MainWindow::setMode(int mode) {
    if (mode < 0 || mode > 3)
        return;
    currentMode = mode;
    Ui::MainWindow& f = *ui;

    f.groupBoxMain->setVisible(mode == 0);
    f.groupBoxLiveView->setVisible(mode == 1);
    f.groupBoxInfo->setVisible(mode != 0 && state.infoPanelOn);
    f.labelTimeCount->setVisible(mode == 2);
    f.labelFileName->setVisible(mode >= 2);

    f.pushButton_7->setEnabled(mode != 2);
    f.pushButton_38->setEnabled(mode != 2);
    f.pushButton_6->setEnabled(mode != 1);
    f.pushButton_32->setEnabled(mode == 0 || mode == 3);
    setButtonText(f.pushButton_7, mode == 1 ? "停止" : "ライブビュー");
    setButtonText(f.pushButton_38, "1枚撮影");
    setButtonText(f.pushButton_6, mode == 2 ? "停止" : "撮影");
    setButtonText(f.pushButton_32, mode == 3 ? "戻る" : "再生");
    if (mode == 0) {
        setButtonText(f.pushButton_33, "ダーク撮影");
        setButtonText(f.pushButton_35, "一括");
        setButtonText(f.pushButton_34, "フラット撮影");
    } else {
        setButtonText(f.pushButton_33, "拡大");
        setButtonText(f.pushButton_35, "ワイド");
        setButtonText(f.pushButton_34, "情報");
    }
    setButtonText(f.pushButton_36, mode == 1 ? "星図" : "前へ");
    setButtonText(f.pushButton_37, mode == 1 ? "星図合わせ" : "次へ");
    f.pushButton_36->setVisible(mode != 0);
    f.pushButton_37->setVisible(mode != 0);
    // Sync by touch is for this live view only: a later drag must move the telescope.
    if (mode != 1 && liveTouch)
        liveTouch->syncByTouch = false;
    showChartSwitches();

    const bool image = mode >= 2;
    for (QPushButton* button : {f.pushButton_73, f.pushButton_74, f.pushButton_75, f.pushButton_76})
        button->setVisible(image);
    setButtonText(f.pushButton_73, "削除");

    f.pushButton_77->setVisible(mode == 3);
    f.pushButton_86->setVisible(mode == 3);
    f.pushButton_78->setVisible(mode == 3 && state.launcherApps.hasStellaImage);
    if (state.launcherApps.hasStellaImage) {
        const QString program = HostPath::toHost(state.launcherApps.stellaImagePath);
        f.pushButton_77->setIcon(QFileIconProvider().icon(QFileInfo(program)));
        f.pushButton_77->setIconSize(QSize(45, 45));
        f.pushButton_77->setText(QString());
        setButtonText(f.pushButton_78, "EVF");
    } else {
        f.pushButton_77->setIcon(QIcon());
        setButtonText(f.pushButton_77, "EVF");
    }

    f.pushButtonStretch->setVisible(mode != 0);
    showStretchSwitch();

    if (withoutCamera) {
        // Zoom, wide and info still serve the image viewer.
        for (QPushButton* button : {f.pushButton_33, f.pushButton_34, f.pushButton_35})
            button->setVisible(mode == 3);
    }
    if (state.digitalCameraMode)
        hideDigitalCameraGroups();
}

void MainWindow::hideDigitalCameraGroups() {
    ui->groupBoxDarkFlat->hide();
    ui->groupBoxCooler->hide();
    ui->filterWheelButtons->hide();
    ui->driveButtons->hide();
    ui->groupBoxComposite->hide();
}

void MainWindow::hideControlsWithoutCamera() {
    if (!state.noCamera)
        return;
    withoutCamera = true;
    for (QPushButton* button :
         {ui->pushButton_7, ui->pushButton_33, ui->pushButton_34, ui->pushButton_35})
        button->hide();
    if (!state.digitalCameraMode) {
        ui->pushButton_6->hide();
        ui->pushButton_38->hide();
    }
    setMode(currentMode);
}

void MainWindow::showCoolingPanel(bool hasCooler) {
    ui->groupBoxCooler->setVisible(hasCooler && !state.digitalCameraMode);
}

void MainWindow::switchCorrection(int operation, bool on) {
    if (capture)
        capture->switchCorrection(operation, on);
    else
        (operation == DarkFlat::SubtractDark ? state.darkOn : state.flatOn) = on ? 1 : 0;
    showSwitches();
}

void MainWindow::on_pushButton_26_clicked() {
    switchCorrection(DarkFlat::SubtractDark, true);
}

void MainWindow::on_pushButton_27_clicked() {
    switchCorrection(DarkFlat::SubtractDark, false);
}

void MainWindow::on_pushButton_28_clicked() {
    switchCorrection(DarkFlat::CorrectFlat, true);
}

void MainWindow::on_pushButton_29_clicked() {
    switchCorrection(DarkFlat::CorrectFlat, false);
}

void MainWindow::on_pushButton_79_clicked() {
    if (compositeAction)
        compositeAction();
}

void MainWindow::on_pushButton_80_clicked() {
    if (compositeAddAction)
        compositeAddAction();
}

void MainWindow::showCompositeLabel(const QString& text) {
    ui->labelComposite->setText(text);
    fitText(ui->labelComposite);
}

void MainWindow::on_pushButton_81_clicked() {
    state.autoComposite = 1;
    showSwitches();
}

void MainWindow::on_pushButton_82_clicked() {
    state.autoComposite = 0;
    showSwitches();
}

void MainWindow::setLiveBright(int value) {
    state.settings->liveBright = std::clamp(value, 0, 255);
    ui->verticalSlider->setValue(state.settings->liveBright);
}

void MainWindow::on_pushButton_83_clicked() {
    setLiveBright(state.settings->liveBright + 10);
}

void MainWindow::on_pushButton_84_clicked() {
    setLiveBright(state.settings->liveBright - 10);
}

void MainWindow::on_pushButton_85_clicked() {
    setLiveBright(0);
}

void MainWindow::on_pushButton_86_clicked() {
    if (make3dAction)
        make3dAction();
}

void MainWindow::on_verticalSlider_valueChanged(int value) {
    state.settings->liveBright = value;
}

void MainWindow::showStretchSwitch() {
    const bool on = currentMode == 1 ? state.liveStretch : state.previewStretch;
    ui->pushButtonStretch->setStyleSheet(on ? "color: red;" : QString());
}

void MainWindow::on_pushButtonStretch_clicked() {
    bool& on = currentMode == 1 ? state.liveStretch : state.previewStretch;
    on = !on;
    showStretchSwitch();
    // Live view takes the switch with its next frame; a picture still on screen is made
    // again from its 16-bit frame.
    if (currentMode == 1 || !display)
        return;
    if (capture && capture->redrawPreview())
        return;
    if (display->frameNumber() == fileFrameNumber)
        showCurrentFile();
}

void MainWindow::on_pushButton_32_clicked() {
    if (state.captureState == 0) {
        saveSettings(*state.settings);
        {
            QMutexLocker lock(&state.stateMutex);
            state.captureState = 3;
        }
        if (display)
            display->view().shrink = 1;
        setMode(3);
        showCurrentFile();
    } else if (state.captureState == 3) {
        {
            QMutexLocker lock(&state.stateMutex);
            state.captureState = 0;
        }
        setMode(0);
    }
}

void MainWindow::on_pushButton_34_clicked() {
    if (currentMode == 0) {
        if (capture)
            capture->pressFlatSeries();
        return;
    }
    state.infoPanelOn = state.infoPanelOn ? 0 : 1;
    ui->groupBoxInfo->setVisible(state.infoPanelOn);
    if (!capture)
        return;
    redrawAfterViewChange(); // the histogram comes and goes with the panel
}

void MainWindow::on_pushButton_35_clicked() {
    if (state.captureState != 0) {
        if (display) {
            display->zoomOut(state.captureState == 1);
            redrawAfterViewChange();
        }
        return;
    }
    // The frames the playback list holds, as the user sees them.
    QStringList frames;
    for (int i = 0; folder && i < folder->count(); ++i)
        frames << folder->pathAt(i);
    TotalDarkFlat dialog(*state.settings, frames, this);
    dialog.adjustSize();
    dialog.move(geometry().center() - dialog.rect().center());
    dialog.exec();
}

void MainWindow::on_pushButton_56_clicked() {
    startAxilo(state, this);
}

void MainWindow::attachMount(MountConnection& connection) {
    mountConnection = &connection;
    connection.showLook = [this](bool connected) { showMountLook(connected); };
}

void MainWindow::showMountLook(bool connected) {
    QPushButton* button = ui->pushButton_72;
    button->setText(connected ? QStringLiteral("接続中") : QStringLiteral("接続"));
    button->setStyleSheet(connected ? "background-color:rgb(85, 170, 255);color:red"
                                    : "background-color:rgb(85, 170, 255);color:white");
    QFont font = button->font();
    font.setPixelSize(20);
    button->setFont(font);
    button->setProperty("vxBasePixelSize", QVariant()); // fitted from 20 on
    fitText(button);
}

void MainWindow::on_pushButton_58_clicked() {
    if (gotoWindow) {
        gotoWindow->show();
        gotoWindow->raise();
        gotoWindow->activateWindow();
        return;
    }
    if (!mountConnection || !mountConnection->connectMount())
        return;
    gotoWindow = new Goto(state, mountConnection->positions());
    mountConnection->setGotoActions(&gotoWindow->actions());
    connect(gotoWindow, &QObject::destroyed, this, [this] {
        mountConnection->setGotoActions(nullptr);
        gotoWindow = nullptr;
    });
    if (gotoOpened)
        gotoOpened(*gotoWindow);
    const QSize desktop = screen()->size();
    if (opensFullScreen(desktop))
        gotoWindow->showFullScreen();
    else
        gotoWindow->show();
}

void MainWindow::on_pushButton_57_clicked() {
    if (focuserAction)
        focuserAction();
}

void MainWindow::on_pushButton_59_clicked() {
    if (guiderAction)
        guiderAction();
}

void MainWindow::on_pushButton_62_clicked() {
    if (motorWindow) {
        motorWindow->raise();
        motorWindow->activateWindow();
        return;
    }
    if (!mountConnection || !mountConnection->connectMount())
        return;
    motorWindow = new Motor(state, this);
    // Over the settings, beside the live view the user watches while moving.
    motorWindow->move(pos() + QPoint(840, 40));
    motorWindow->show();
}

void MainWindow::on_pushButton_90_clicked() {
    if (state.digitalCameraMode && digicamAction)
        digicamAction();
}

void MainWindow::on_pushButton_72_clicked() {
    if (mountConnection)
        mountConnection->toggle();
}

void MainWindow::on_pushButton_60_clicked() {
    openFileSelect(0, ui->labelDarkFileName);
}

void MainWindow::on_pushButton_61_clicked() {
    openFileSelect(1, ui->labelFlatFileName);
}

void MainWindow::openFileSelect(int mode, QLabel* nameLabel) {
    // Not exec(): the main loop, and with it guiding and the cooler, keeps running while the
    // user chooses.
    auto* dialog = new FileSelectDialog(*state.settings, mode, nameLabel->text(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &FileSelectDialog::fileChosen, nameLabel, [nameLabel](const QString& name) {
        nameLabel->setText(name);
        fitText(nameLabel);
    });
    dialog->open();
}

void MainWindow::pressButtons(const QStringList& objectNames) {
    for (const QString& name : objectNames) {
        if (name.startsWith("pan:")) {
            panView(name.mid(4));
            continue;
        }
        auto* button = findChild<QPushButton*>(name);
        if (button && button->isVisible() && button->isEnabled())
            button->click();
    }
}

void MainWindow::panView(const QString& canvasOffsets) {
    const QStringList offsets = canvasOffsets.split(',');
    if (!display || offsets.size() != 2)
        return;
    const ViewState& view = display->view();
    double x = view.viewCenterX, y = view.viewCenterY;
    panViewCentre(&x, &y, offsets[0].toInt(), offsets[1].toInt(), view.zoom, view.viewWidth,
                  view.viewHeight);
    // Applied and redrawn by the main loop, as a finger's drag is.
    display->requestCenter(int(x), int(y));
}

void MainWindow::on_pushButton_87_clicked() {
    if (state.photoHistory)
        state.photoHistory->removeLast();
}

void MainWindow::on_pushButton_88_clicked() {
    if (state.photoHistory)
        state.photoHistory->clear();
}

void MainWindow::on_pushButton_89_clicked() {
    if (state.photoHistory)
        state.photoHistory->removeFirst();
}

void MainWindow::on_pushButton_clicked() {
    state.settings->setBaseDegrees(state.syncPointRa, state.syncPointDec);
    saveSettings(*state.settings);
    if (exitAction)
        exitAction();
}

void MainWindow::showRotateIcon() {
    const int rotation = display ? display->view().displayRotation : 0;
    const QString icon =
        HostPath::toHost(state.appDir + QString("\\PNG\\rotate%1.png").arg(rotation + 1));
    if (!QFileInfo::exists(icon))
        return;
    ui->pushButton_74->setIcon(QIcon(icon));
    ui->pushButton_74->setIconSize(QSize(40, 40));
    ui->pushButton_74->setText(QString());
}

void MainWindow::attach(CaptureLoop& captureLoop, ImageDisplay& imageDisplay,
                        DataFolder& dataFolder, TimerThread& timerThread) {
    capture = &captureLoop;
    display = &imageDisplay;
    folder = &dataFolder;
    timer = &timerThread;
    ui->touchPanelLabel->attach(display->view(), *ui->viewLabel);
    liveTouch = std::make_unique<LiveTouchMove>(state, display->view());
    connectViewTouch();
    display->present = [this](const QImage& canvas) {
        ui->viewLabel->setPixmap(QPixmap::fromImage(canvas).scaled(
            ui->viewLabel->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    };
    for (QPushButton* button : ui->driveButtons->findChildren<QPushButton*>()) {
        if (button != ui->pushButton_45)
            connect(button, &QPushButton::clicked, this, [this, button] { selectDrive(button); });
    }
}

void MainWindow::connectViewTouch() {
    TouchPanelLiveView* view = ui->touchPanelLabel;
    connect(view, &TouchPanelLiveView::zoomIn, this, [this] { zoomView(true); });
    connect(view, &TouchPanelLiveView::zoomOut, this, [this] { zoomView(false); });
    connect(view, &TouchPanelLiveView::pan, this, [this](int dx, int dy) {
        const ViewState& v = display->view();
        const double canvasPerImagePixel = v.displayScale * v.zoom;
        if (canvasPerImagePixel <= 0)
            return;
        display->requestCenter(v.viewCenterX + qRound(dx / canvasPerImagePixel),
                               v.viewCenterY + qRound(dy / canvasPerImagePixel));
    });
    connect(view, &TouchPanelLiveView::focusPoint, this, [this](int x, int y) {
        display->setFocusPoint(x, y);
        redrawAfterViewChange();
    });
    connect(view, &TouchPanelLiveView::dragged, this,
            [this](int dx, int dy) { liveTouch->moveByTouch(dx, dy); });
}

void MainWindow::zoomView(bool in) {
    // Idle, the view shows no picture to zoom.
    if (state.captureState == 0)
        return;
    if (in)
        display->zoomIn();
    else
        display->zoomOut(state.captureState == 1);
    redrawAfterViewChange();
}

void MainWindow::showChartSwitches() {
    const bool live = currentMode == 1;
    ui->pushButton_36->setStyleSheet(live && state.liveOverlayOn ? switchOnStyle : QString());
    ui->pushButton_37->setStyleSheet(live && liveTouch && liveTouch->syncByTouch ? switchOnStyle
                                                                                 : QString());
}

void MainWindow::showTimeText(const QString& text) {
    ui->labelTimeCount->setText(text);
    fitText(ui->labelTimeCount);
}

void MainWindow::showFileName(const QString& text) {
    ui->labelFileName->setText(text);
    fitText(ui->labelFileName);
}

void MainWindow::showShootingInfo(const ShootingData& data, const QString& date) {
    const InfoPanelTexts texts = infoPanelTexts(data, date);
    ui->labelInfoDate->setText(texts.date);
    ui->labelInfoGain->setText(texts.gain);
    ui->labelInfoExposure->setText(texts.exposure);
    ui->labelInfoDarked->setText(texts.darked);
    ui->labelInfoFlated->setText(texts.flated);
    for (QLabel* label : ui->groupBoxInfo->findChildren<QLabel*>())
        fitText(label);
}

void MainWindow::showMasterNames(const QString& dark, const QString& flat) {
    ui->labelDarkFileName->setText(dark);
    ui->labelFlatFileName->setText(flat);
    fitText(ui->labelDarkFileName);
    fitText(ui->labelFlatFileName);
}

void MainWindow::showTemperature(int celsius) {
    if (celsius == shownTemperature)
        return;
    shownTemperature = celsius;
    ui->labelCoolerTemperature->setText(QString::number(celsius) + "℃");
}

void MainWindow::scanDrives() {
    const QStringList drives = DataDrives::scanDrives(*state.settings);
    const int current = DataDrives::currentIndex(drives, *state.settings);
    const QList<QPushButton*> buttons = {ui->pushButton_39, ui->pushButton_40, ui->pushButton_41,
                                         ui->pushButton_42, ui->pushButton_43, ui->pushButton_44};
    for (int i = 0; i < buttons.size(); ++i) {
        QPushButton* button = buttons[i];
        button->setVisible(i < drives.size());
        if (i >= drives.size())
            continue;
        button->setText(drives[i]);
        button->setStyleSheet(i == current ? "color: red;" : "color: white;");
    }
}

void MainWindow::selectDrive(QPushButton* button) {
    for (QPushButton* other : ui->driveButtons->findChildren<QPushButton*>()) {
        if (other != ui->pushButton_45)
            other->setStyleSheet(other == button ? "color: red;" : "color: white;");
    }
    if (folder && !button->text().isEmpty())
        DataDrives::selectDrive(button->text().at(0), *state.settings, *folder);
}

void MainWindow::on_pushButton_45_clicked() {
    scanDrives();
}

void MainWindow::showCurrentFile() {
    if (!folder || !display)
        return;
    const QString path = folder->currentPath();
    if (path.isEmpty())
        return;
    const ShownFile shown = readShownFile(path, state.previewStretch);
    if (!shown.ok)
        return;
    ViewState& view = display->view();
    view.displayIsColor = shown.isColor;
    view.displayBayer = shown.bayer;
    display->setDisplayGeometry(shown.image8.cols, shown.image8.rows);
    display->showImage(shown.image8, shown.isColor, shown.bayer);
    fileFrameNumber = display->frameNumber();
    showFileName(fileNameLabel(path));
    showShootingInfo(shown.data, shown.date);
}

void MainWindow::on_pushButton_6_clicked() {
    if (capture)
        capture->pressCapture();
}

void MainWindow::on_pushButton_7_clicked() {
    if (capture)
        capture->toggleLiveView();
}

void MainWindow::on_pushButton_38_clicked() {
    if (capture)
        capture->pressOneShot();
}

void MainWindow::on_pushButton_33_clicked() {
    if (!capture)
        return;
    if (currentMode == 0) {
        capture->pressDarkSeries();
        return;
    }
    display->zoomIn();
    redrawAfterViewChange();
}

void MainWindow::redrawAfterViewChange() {
    if (state.captureState != 1)
        display->redraw();
}

void MainWindow::on_pushButton_36_clicked() {
    const int captureState = state.captureState;
    if (currentMode == 1) {
        state.liveOverlayOn = !state.liveOverlayOn;
        showChartSwitches();
        return;
    }
    if (!folder || captureState < 2)
        return;
    folder->previousFile();
    showCurrentFile();
}

void MainWindow::on_pushButton_37_clicked() {
    const int captureState = state.captureState;
    if (currentMode == 1) {
        if (liveTouch)
            liveTouch->syncByTouch = !liveTouch->syncByTouch;
        showChartSwitches();
        return;
    }
    if (!folder || captureState < 2)
        return;
    folder->nextFile();
    showCurrentFile();
}

void MainWindow::on_pushButton_73_clicked() {
    if (!folder || state.captureState < 2)
        return;
    folder->deleteCurrent();
    showCurrentFile();
}

void MainWindow::correctCurrentFile(int operation) {
    if (!folder || state.captureState < 2)
        return;
    const QString path = folder->currentPath();
    if (!path.isEmpty() && DarkFlat::correctFile(*state.settings, path, operation))
        showCurrentFile();
}

void MainWindow::on_pushButton_75_clicked() {
    correctCurrentFile(DarkFlat::SubtractDark);
}

void MainWindow::on_pushButton_76_clicked() {
    correctCurrentFile(DarkFlat::CorrectFlat);
}

void MainWindow::on_pushButton_74_clicked() {
    if (!display)
        return;
    display->rotate();
    showRotateIcon();
    const int captureState = state.captureState;
    if (captureState == 1) {
        display->setDisplayGeometry(capture->liveWidth(), capture->liveHeight());
    } else if (captureState == 3) {
        showCurrentFile();
    } else if (state.camera && !state.noCamera) {
        display->setDisplayGeometry(state.camera->width, state.camera->height);
        display->redraw();
    }
    if (capture)
        capture->updateFieldOfView();
}

void MainWindow::markCooling(QPushButton* pressed) {
    for (QPushButton* button : {ui->pushButton_30, ui->pushButton_31, ui->pushButton_69})
        button->setStyleSheet(button == pressed ? coolingPressed : coolingOther);
}

void MainWindow::on_pushButton_30_clicked() {
    if (!timer || !state.camera || !state.camera->hasCooler)
        return;
    Cooling::switchOn(state.camera, *state.settings, *timer);
    markCooling(ui->pushButton_30);
}

void MainWindow::on_pushButton_31_clicked() {
    if (!timer || !state.camera || !state.camera->hasCooler)
        return;
    Cooling::switchOff(state.camera, *state.settings, *timer);
    markCooling(ui->pushButton_31);
}

void MainWindow::on_pushButton_69_clicked() {
    if (!timer || !state.camera || !state.camera->hasCooler)
        return;
    Cooling::stop(state.camera, *timer);
    markCooling(ui->pushButton_69);
}

void MainWindow::openFullScreenView() {
    if (folder && !folder->currentPath().isEmpty())
        new EvfWindow(state, folder->currentPath()); // closes and deletes itself
}

void MainWindow::on_pushButton_77_clicked() {
    if (state.captureState != 3) {
        state.liveOverlayOn = !state.liveOverlayOn;
        return;
    }
    if (!state.launcherApps.hasStellaImage) {
        openFullScreenView();
    } else if (folder && !folder->currentPath().isEmpty()) {
        startStellaImage(state, folder->currentPath());
    }
}

void MainWindow::on_pushButton_78_clicked() {
    if (state.captureState == 3)
        openFullScreenView();
}
