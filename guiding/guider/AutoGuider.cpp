#include "AutoGuider.h"

#include "BayerPattern.h"
#include "CameraDevice.h"
#include "Clock.h"
#include "DebugLog.h"
#include "DetectionThreshold.h"
#include "GuideCameraReadThread.h"
#include "GuideDirections.h"
#include "GuideFrameFold.h"
#include "GuideLaw.h"
#include "GuidePreview.h"
#include "GuideStarMeasure.h"
#include "GuideTimerThread.h"
#include "MountControl.h"
#include "OrlentGuiderParameter.h"
#include "ProcessState.h"
#include "SettingsRecord.h"
#include "StarSpotDetector.h"
#include "UserPrompt.h"
#include "ui_AutoGuider.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPixmap>
#include <algorithm>
#include <opencv2/imgproc.hpp>
#include <utility>

namespace {

const char* const modeText[3] = {"Auto", "Fix", "OFF"};
const char* const modeStyle[3] = {"background-color:red;color:white",
                                  "background-color:blue;color:white",
                                  "background-color:white;color:black"};
// The chosen one of two buttons (binning, dithering).
const char* const chosenStyle = "background-color:red;color:white";
constexpr int boxSize = GuideSession::boxSize;
constexpr int magnification = 8;
// Pulses due within this many milliseconds are ended within the frame's step.
constexpr std::int64_t shortPulseMs = 60;

// A step beyond either end does nothing.
void step(int& value, int delta, int low, int high) {
    const int next = value + delta;
    if (next >= low && next <= high)
        value = next;
}

// The guide exposure's label: "1/1000" … "1/2", then whole seconds up to 8.
QString exposureLabel(int index) {
    const int us = CameraDevice::exposureTableUs(index);
    if (us >= 1000000)
        return QString::number(us / 1000000);
    return QString("1/%1").arg(qRound(1e6 / us));
}

} // namespace

AutoGuider::AutoGuider(ProcessState& processState, CameraDevice& guideCamera,
                       GuideCameraReadThread& frameReader, GuideTimerThread& pulseTimer,
                       QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowStaysOnTopHint)
    , state(processState)
    , settings(*processState.settings)
    , camera(guideCamera)
    , reader(frameReader)
    , timer(pulseTimer)
    , ui(new Ui::AutoGuider)
    , guide(*this, QSize(640, 480), QSize(260, 128)) {
    ui->setupUi(this);
    guide.setImageSize(QSize(640, 480));
    settings.zorvanV2 = 0;
    ui->pushButton_34->hide();
    ui->pushButton_36->hide();
    ui->groupBoxGuideSelect->hide();
    showSettings();
    showDirections();
    showGraph();
}

AutoGuider::~AutoGuider() {
    delete ui;
}

void AutoGuider::guidePulse(char letter, int amount) {
    int axis = 0, dir = 0;
    if (!GuideLaw::pulseTarget(letter, &axis, &dir))
        return;
    ui->labelGuidePulse->setText(QString::asprintf("pulse %c %d", letter, amount));
    pendingPulses.append({letter, amount});
}

// The frame's pulses go out after it is measured, the longest first: setting off a pulse takes
// several exchanges on the serial line, during which a shorter pulse sent before it could not
// be ended on time. For the same reason a pulse of a few ticks is waited out and ended before
// the next one sets off (and before the next pass, which might repaint a window for longer).
void AutoGuider::sendPendingPulses() {
    std::stable_sort(pendingPulses.begin(), pendingPulses.end(),
                     [](const GuidePulse& a, const GuidePulse& b) { return a.amount > b.amount; });
    const QVector<GuidePulse> pulses = std::exchange(pendingPulses, {});
    MountControl* mount = state.mount;
    if (!mount)
        return;
    endDuePulses();
    for (const GuidePulse& pulse : pulses) {
        int axis = 0, dir = 0;
        GuideLaw::pulseTarget(pulse.letter, &axis, &dir);
        if (axis == 0)
            mount->guidePulseRa(dir, std::uint32_t(pulse.amount));
        else
            mount->guidePulseDec(dir, std::uint32_t(pulse.amount));
        endShortPulses();
    }
}

void AutoGuider::endShortPulses() {
    endDuePulses();
    std::int64_t left = timer.msUntilDue();
    while (left >= 0 && left <= shortPulseMs) {
        Clock::sleepMs(left);
        endDuePulses();
        const std::int64_t next = timer.msUntilDue();
        if (next == 0)
            break; // due but not ended here (no mount): the passes keep trying
        left = next;
    }
}

// On every pass, not only on processed frames: a pulse lasts its time whatever the frame rate.
void AutoGuider::endDuePulses() {
    MountControl* mount = state.mount;
    if (!mount)
        return;
    if (mount->raState == MountControl::PulseRunning && timer.raPulseEnded())
        mount->endGuidePulseRa();
    if (mount->decState == MountControl::PulseRunning && timer.decPulseEnded())
        mount->endGuidePulseDec();
}

void AutoGuider::endPulses() {
    MountControl* mount = state.mount;
    timer.disarm();
    if (!mount)
        return;
    if (mount->raState == MountControl::PulseRunning)
        mount->endGuidePulseRa();
    if (mount->decState == MountControl::PulseRunning)
        mount->endGuidePulseDec();
}

void AutoGuider::processGuideFrame() {
    if (inStep || closing)
        return;
    inStep = true;
    endDuePulses();
    cv::Mat frame, gray;
    if (reader.takeFrame(frame) && guideImage(frame, gray)) {
        const int threshold =
            guide.state() == GuideSession::Idle && camera.vendor() != CameraDevice::Uvc
                ? 0
                : detectionThreshold(gray);
        QImage picture = displayImage(gray, frame);
        switch (guide.state()) {
        case GuideSession::Searching:
            search(gray, threshold);
            break;
        case GuideSession::Choosing:
            choose(picture, gray);
            break;
        case GuideSession::Running:
            run(picture, gray, threshold);
            break;
        case GuideSession::Idle:
            break;
        }
        if (!compact)
            ui->previewWindow->setPixmap(QPixmap::fromImage(picture));
        // The window is painted now, before the pulses set off: painting it takes longer than
        // the shortest pulses last, and a pass that paints cannot end them.
        QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
        sendPendingPulses();
    }
    inStep = false;
}

// The 8-bit grey guide image of a frame; false when there is none to work with.
bool AutoGuider::guideImage(const cv::Mat& frame, cv::Mat& gray) {
    if (camera.vendor() != CameraDevice::Uvc) {
        if (frame.empty()) {
            debugLog("Guide video data empty 2");
            return false;
        }
        gray = frame;
        return true;
    }
    if (frame.empty()) {
        if (!emptyFrameTold) {
            emptyFrameTold = true;
            UserPrompt::showMessage(QStringLiteral("初期化失敗、ガイダーを起動し直してください"));
            if (camera.uvc)
                camera.uvc->release();
        }
        return false;
    }
    gray = foldGuideFrame(frame);
    return true;
}

QImage AutoGuider::displayImage(const cv::Mat& gray, const cv::Mat& frame) const {
    const bool mosaic = camera.vendor() != CameraDevice::Uvc && camera.isColor;
    return GuidePreview::picture(frame, gray,
                                 mosaic ? BayerPattern::demosaicCode(camera.bayerPattern) : 0);
}

void AutoGuider::search(const cv::Mat& gray, int threshold) {
    StarSpotDetector detector(gray);
    const int found = detector.findStars(threshold, false);
    QVector<QPoint> boxes;
    candidateSizes.clear();
    for (int i = 0; i < found; ++i) {
        boxes << QPoint(detector.starBoxX(i), detector.starBoxY(i));
        candidateSizes << detector.starPixelCount(i);
    }
    if (!guide.takeCandidates(boxes, detector.chosen())) {
        UserPrompt::showMessage(QStringLiteral("ガイド星が見つかりません."));
        ui->groupBoxGuideSelect->hide();
        showIdleButtons();
    }
}

void AutoGuider::choose(QImage& picture, const cv::Mat& gray) {
    const QVector<QPoint>& boxes = guide.candidates();
    for (int i = 0; i < boxes.size(); ++i)
        GuidePreview::drawBox(picture, boxes[i].x(), boxes[i].y(),
                              i == guide.candidateIndex() ? Qt::green : Qt::red);
    showGuideBox(gray);
    ui->labelGuide->setText(QString("size=%1").arg(candidateSizes.value(guide.candidateIndex())));
}

void AutoGuider::run(QImage& picture, const cv::Mat& gray, int threshold) {
    showGuideBox(gray);
    const GuideStarMeasure measured =
        GuideStarMeasure::inBox(gray, guide.lockX(), guide.lockY(), threshold);
    const GuideStar& star = measured.star;
    ui->labelGuide->setText(star.found ? QString("size=%1,(%2,%3)")
                                             .arg(measured.pixelCount)
                                             .arg(star.dx, 0, 'f', 2)
                                             .arg(star.dy, 0, 'f', 2)
                                       : QString("size=0.0"));
    showResult(guide.processFrame(star, settings));
    GuidePreview::drawBox(picture, guide.lockX(), guide.lockY(), Qt::red);
}

void AutoGuider::showResult(const GuideFrameResult& result) {
    switch (result.event) {
    case GuideFrameResult::GuidingStarted:
        showRunningButtons();
        break;
    case GuideFrameResult::CalibrationFailed:
        UserPrompt::showMessage(QStringLiteral("キャリブレーション失敗"));
        stopGuiding();
        break;
    default:
        break;
    }
    if (result.sensitivityChanged)
        showSettings();
    if (result.directionsChanged)
        showDirections();
    if (result.graphChanged)
        showGraph();
}

void AutoGuider::showGuideBox(const cv::Mat& gray) {
    const cv::Rect inside = cv::Rect(guide.lockX(), guide.lockY(), boxSize, boxSize) &
                            cv::Rect(0, 0, gray.cols, gray.rows);
    if (inside.width <= 0 || inside.height <= 0)
        return;
    cv::Mat magnified;
    cv::resize(gray(inside), magnified, cv::Size(), magnification, magnification,
               cv::INTER_NEAREST);
    ui->guideWindow->setPixmap(QPixmap::fromImage(GuidePreview::toImage(magnified)));
}

void AutoGuider::startDither() {
    guide.startDither(settings);
}

bool AutoGuider::isGuiderBusy() const {
    return guide.isGuiderBusy();
}

void AutoGuider::stopGuiding() {
    guide.stop();
    if (state.mount)
        state.mount->guiding = false;
    ui->groupBoxGuideSelect->hide();
    showIdleButtons();
}

void AutoGuider::showIdleButtons() {
    ui->pushButton_1->setText("キャリブレーション");
    ui->pushButton_2->show();
    ui->pushButton_2->setEnabled(true);
    ui->pushButton_34->hide();
}

// Guiding: the calibrate button only shows that it is taken, "停止" ends.
void AutoGuider::showRunningButtons() {
    ui->pushButton_1->setText("---");
    ui->pushButton_2->hide();
    ui->pushButton_34->show();
}

void AutoGuider::showSettings() {
    ui->labelGain->setText(QString::number(settings.ggain));
    ui->labelExp->setText(exposureLabel(settings.gexposure));
    ui->labelRaThre->setText(QString::number(settings.thresRa / 10.0, 'f', 1));
    ui->labelRaSence->setText(QString::number(settings.senceRa / 100.0, 'f', 2));
    ui->labelDecThre->setText(QString::number(settings.thresDec / 10.0, 'f', 1));
    ui->labelDecSence->setText(QString::number(settings.senceDec / 100.0, 'f', 2));
    ui->labelDithPix->setText(QString::number(settings.dithPix));
    ui->labelDithStabThre->setText(QString::number(settings.stabR / 10.0, 'f', 1));
    ui->labelDithStabCount->setText(QString::number(settings.stabC));
    ui->labelCalib->setText(QString::number(settings.calStep));
    showModes();
    showDither();
    showBinning();
}

// Thresholds can be set in Auto and Fix, sensitivities only in Fix.
void AutoGuider::showModes() {
    const int ra = std::clamp(settings.modeRa, 0, 2), dec = std::clamp(settings.modeDec, 0, 2);
    ui->pushButton_11->setText(modeText[ra]);
    ui->pushButton_11->setStyleSheet(modeStyle[ra]);
    ui->pushButton_16->setText(modeText[dec]);
    ui->pushButton_16->setStyleSheet(modeStyle[dec]);
    for (QWidget* w : {ui->pushButton_12, ui->pushButton_13})
        w->setVisible(ra != 2);
    for (QWidget* w : {ui->pushButton_14, ui->pushButton_15})
        w->setVisible(ra == 1);
    for (QWidget* w : {ui->pushButton_17, ui->pushButton_18})
        w->setVisible(dec != 2);
    for (QWidget* w : {ui->pushButton_19, ui->pushButton_20})
        w->setVisible(dec == 1);
}

void AutoGuider::showDirections() {
    ui->labelDirRight->setText(GuideDirections::label(settings.dirRight));
    ui->labelDirLeft->setText(GuideDirections::label(settings.dirLeft));
    ui->labelDirUpper->setText(GuideDirections::label(settings.dirUpper));
    ui->labelDirLower->setText(GuideDirections::label(settings.dirLower));
}

void AutoGuider::showDither() {
    const bool on = settings.dither == 1;
    ui->pushButton_21->setStyleSheet(on ? chosenStyle : "");
    ui->pushButton_22->setStyleSheet(on ? "" : chosenStyle);
    const QList<QWidget*> ditherControls = {
        ui->pushButton_23, ui->pushButton_24,     ui->pushButton_25,
        ui->pushButton_27, ui->pushButton_26,     ui->pushButton_28,
        ui->labelDithPix,  ui->labelDithStabThre, ui->labelDithStabCount};
    for (QWidget* w : ditherControls)
        w->setEnabled(on);
}

void AutoGuider::showBinning() {
    ui->pushButton_9->setStyleSheet(settings.binning == 1 ? chosenStyle : "");
    ui->pushButton_10->setStyleSheet(settings.binning == 1 ? "" : chosenStyle);
}

void AutoGuider::showGraph() {
    ui->graphWindow->setPixmap(QPixmap::fromImage(guide.graph().image()));
}

void AutoGuider::on_pushButton_1_clicked() {
    if (guide.state() != GuideSession::Idle) {
        stopGuiding();
        return;
    }
    guide.startCalibration(settings);
    showDirections();
    showSettings();
    ui->groupBoxGuideSelect->show();
    ui->pushButton_1->setText("停止");
}

void AutoGuider::on_pushButton_2_clicked() {
    if (guide.state() != GuideSession::Idle)
        return;
    const GuideSession::Start start = guide.startGuiding(settings);
    showDirections();
    showSettings();
    ui->groupBoxGuideSelect->show();
    if (start == GuideSession::Start::Calibrating)
        ui->pushButton_1->setText("停止");
    else
        showRunningButtons();
}

void AutoGuider::on_pushButton_34_clicked() {
    stopGuiding();
}

void AutoGuider::on_pushButton_33_clicked() {
    stopGuiding();
}

void AutoGuider::on_pushButton_3_clicked() {
    compact = !compact;
    resize(width(), compact ? compactHeight : fullHeight);
    ui->pushButton_3->setText(compact ? "拡大表示" : "縮小表示");
}

void AutoGuider::on_pushButton_clicked() {
    step(settings.ggain, 1, 1, 25);
    camera.setGain(settings.ggain);
    showSettings();
}

void AutoGuider::on_pushButton_4_clicked() {
    step(settings.ggain, -1, 1, 25);
    camera.setGain(settings.ggain);
    showSettings();
}

void AutoGuider::on_pushButton_7_clicked() {
    step(settings.gexposure, 1, 0, 13);
    camera.setExposureIndex(settings.gexposure);
    showSettings();
}

void AutoGuider::on_pushButton_8_clicked() {
    step(settings.gexposure, -1, 0, 13);
    camera.setExposureIndex(settings.gexposure);
    showSettings();
}

void AutoGuider::on_pushButton_9_clicked() {
    settings.binning = 1;
    showBinning();
}

void AutoGuider::on_pushButton_10_clicked() {
    settings.binning = 0;
    showBinning();
}

void AutoGuider::on_pushButton_11_clicked() {
    settings.modeRa = (settings.modeRa + 1) % 3;
    showModes();
}

void AutoGuider::on_pushButton_16_clicked() {
    settings.modeDec = (settings.modeDec + 1) % 3;
    showModes();
}

void AutoGuider::on_pushButton_12_clicked() {
    step(settings.thresRa, 1, 0, 10);
    showSettings();
}

void AutoGuider::on_pushButton_13_clicked() {
    step(settings.thresRa, -1, 0, 10);
    showSettings();
}

void AutoGuider::on_pushButton_14_clicked() {
    settings.senceRa = GuideLaw::sensitivityStepUp(settings.senceRa);
    showSettings();
}

void AutoGuider::on_pushButton_15_clicked() {
    settings.senceRa = GuideLaw::sensitivityStepDown(settings.senceRa);
    showSettings();
}

void AutoGuider::on_pushButton_17_clicked() {
    step(settings.thresDec, 1, 0, 10);
    showSettings();
}

void AutoGuider::on_pushButton_18_clicked() {
    step(settings.thresDec, -1, 0, 10);
    showSettings();
}

void AutoGuider::on_pushButton_19_clicked() {
    settings.senceDec = GuideLaw::sensitivityStepUp(settings.senceDec);
    showSettings();
}

void AutoGuider::on_pushButton_20_clicked() {
    settings.senceDec = GuideLaw::sensitivityStepDown(settings.senceDec);
    showSettings();
}

void AutoGuider::on_pushButton_21_clicked() {
    settings.dither = 1;
    showDither();
}

void AutoGuider::on_pushButton_22_clicked() {
    settings.dither = 0;
    showDither();
}

void AutoGuider::on_pushButton_23_clicked() {
    step(settings.dithPix, 1, 1, 99);
    showSettings();
}

void AutoGuider::on_pushButton_24_clicked() {
    step(settings.dithPix, -1, 1, 99);
    showSettings();
}

void AutoGuider::on_pushButton_25_clicked() {
    step(settings.stabR, 1, 1, 99);
    showSettings();
}

void AutoGuider::on_pushButton_27_clicked() {
    step(settings.stabR, -1, 1, 99);
    showSettings();
}

void AutoGuider::on_pushButton_26_clicked() {
    step(settings.stabC, 1, 1, 99);
    showSettings();
}

void AutoGuider::on_pushButton_28_clicked() {
    step(settings.stabC, -1, 1, 99);
    showSettings();
}

void AutoGuider::on_pushButton_30_clicked() {
    step(settings.calStep, 100, 100, 9900);
    showSettings();
}

void AutoGuider::on_pushButton_31_clicked() {
    step(settings.calStep, -100, 100, 9900);
    showSettings();
}

void AutoGuider::on_pushButton_5_clicked() {
    guide.previousCandidate();
}

void AutoGuider::on_pushButton_6_clicked() {
    guide.nextCandidate();
}

void AutoGuider::on_pushButton_32_clicked() {
    if (guide.state() != GuideSession::Choosing)
        return;
    guide.select();
    ui->groupBoxGuideSelect->hide();
    if (state.mount)
        state.mount->guiding = true;
}

void AutoGuider::on_pushButton_35_clicked() {
    (new OrlentGuiderParameter(settings, this))->show();
}

void AutoGuider::on_pushButton_36_clicked() {
    settings.zorvanV2 = settings.zorvanV2 ? 0 : 1;
}

void AutoGuider::on_pushButton_29_clicked() {
    guide.stop();
    endPulses();
    if (state.mount)
        state.mount->guiding = false;
    closing = true;
    hide();
}

// The title bar's close is "終了".
void AutoGuider::closeEvent(QCloseEvent* event) {
    event->ignore();
    on_pushButton_29_clicked();
}
