#include "CaptureLoop.h"

#include "CameraDevice.h"
#include "CameraReadThread.h"
#include "CaptureScreen.h"
#include "Clock.h"
#include "DarkFlat.h"
#include "DataFolder.h"
#include "DebugLog.h"
#include "FileShootingData.h"
#include "FileWriteThread.h"
#include "FrameOps.h"
#include "ImageDisplay.h"
#include "InfoPanelTexts.h"
#include "LiveExposure.h"
#include "PhotoHistory.h"
#include "PreviewStretch.h"
#include "ProcessState.h"
#include "SettingsFile.h"
#include "SettingsRecord.h"
#include "ShownFile.h"
#include "ShutterControl.h"
#include "SvbonyExpReadThread.h"
#include "TimerThread.h"
#include "UserPrompt.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMutexLocker>
#include <algorithm>
#include <cmath>
#include <opencv2/core.hpp>

namespace {

// An exposure that has not ended this long after its countdown: the camera stopped answering.
constexpr int exposureTimeoutSeconds = 60;

constexpr int largeSensorWidth = 2400;

const QString captureFailed = QStringLiteral("撮影失敗　もう一度試してください");

double fieldAngleDegrees(int pixels, double pixelSizeUm, int focalMm) {
    const double sizeMm = pixels * pixelSizeUm / 1000.0;
    return 2.0 * std::atan(sizeMm / (2.0 * focalMm)) * 180.0 / M_PI;
}

} // namespace

CaptureLoop::CaptureLoop(ProcessState& processState, const Devices& captureDevices,
                         ImageDisplay& imageDisplay, DataFolder& dataFolder,
                         CaptureScreen& captureScreen)
    : state(processState)
    , devices(captureDevices)
    , display(imageDisplay)
    , folder(dataFolder)
    , screen(captureScreen) {}

bool CaptureLoop::dslrPath() const {
    return state.digitalCameraMode && !state.solveShot;
}

bool CaptureLoop::masterSeries() const {
    return state.darkCaptureMode || state.flatCaptureMode;
}

bool CaptureLoop::isUvc() const {
    return devices.camera && devices.camera->vendor() == CameraDevice::Uvc;
}

bool CaptureLoop::largeSensor() const {
    return devices.camera && devices.camera->width >= largeSensorWidth && !isUvc();
}

int CaptureLoop::exposureSeconds() const {
    const SettingsRecord& settings = *state.settings;
    return state.solveShot ? settings.plateExp : settings.timMin * 60 + settings.timSec;
}

void CaptureLoop::setState(int captureState) {
    {
        QMutexLocker lock(&state.stateMutex);
        state.captureState = captureState;
    }
    if (devices.reader)
        devices.reader->wake();
}

void CaptureLoop::toggleLiveView() {
    if (state.captureState == 0 && hooks.autoguiderOpen && hooks.autoguiderOpen()) {
        UserPrompt::showMessage(QStringLiteral("オートガイダーを閉じてください"));
        return;
    }
    CameraDevice* camera = devices.camera;
    const int from = state.captureState;
    if (!camera || !devices.reader || from == 2 || from == 4)
        return;
    const bool starting = from != 1;
    if (from == 3)
        setState(0);
    screen.setMode(starting ? 1 : 0);

    if (starting) {
        binnedLive = largeSensor();
        liveSize.width = binnedLive ? camera->width / 2 : camera->width;
        liveSize.height = binnedLive ? camera->height / 2 : camera->height;
        devices.reader->setBinned(binnedLive);
        display.setDisplayGeometry(liveSize.width, liveSize.height);
        updateFieldOfView();
    }
    {
        QMutexLocker lock(&state.stateMutex);
        if (starting) {
            debugLog("Pass1");
            camera->setFormat(liveSize.width, liveSize.height, binnedLive ? 2 : 1, 8);
            camera->setGain(state.settings->lgain);
            camera->setExposureIndex(state.settings->lexposure);
            camera->startVideo();
            Clock::sleepMs(300);
            state.captureState = 1;
        } else {
            debugLog("Pass2");
            camera->stopVideo();
            state.captureState = 0;
        }
        devices.reader->clearFrameReady();
    }
    devices.reader->wake();
}

void CaptureLoop::updateFieldOfView() {
    const CameraDevice* camera = devices.camera;
    const int focal = state.settings->_focal;
    if (!camera || focal <= 0)
        return;
    const double wide = fieldAngleDegrees(camera->width, camera->pixelSizeUm, focal);
    const double high = fieldAngleDegrees(camera->height, camera->pixelSizeUm, focal);
    const ViewState& view = display.view();
    debugLog("wideDegree=%.3f, heightDegree=%.3f, viewWidth=%d, viewHeight=%d", wide, high,
             view.viewWidth, view.viewHeight);
    const bool turned = (view.displayRotation + view.cameraRotation) % 2 == 1;
    // Over the picture as drawn, whose width is cut to a multiple of 16.
    const cv::Size drawn = display.drawnSize();
    state.degreePerPixW = (turned ? high : wide) / std::max(1, drawn.width);
    state.degreePerPixH = (turned ? wide : high) / std::max(1, drawn.height);
    debugLog("DegreePerPix(W) = %f", state.degreePerPixW);
    debugLog("DegreePerPix(H) = %f", state.degreePerPixH);
}

bool CaptureLoop::startCapture() {
    if (dslrPath()) {
        if (!devices.shutter) {
            UserPrompt::showMessage(QStringLiteral("USBシャッターアダプターがありません"));
            return false;
        }
        return snapShutter(*devices.shutter, state);
    }
    debugLog("Snap In");
    CameraDevice* camera = devices.camera;
    if (!camera)
        return false;
    const SettingsRecord& settings = *state.settings;
    if (state.captureState == 1) {
        if (!state.flatCaptureMode)
            return true;
        setState(0);
        camera->stopVideo();
    } else if (state.captureState == 2) {
        debugLog("Stop Exposure");
        camera->stopSnap();
        setState(0);
        return true;
    }
    if ((state.darkOn && !loadMaster(DarkFlat::SubtractDark)) ||
        (state.flatOn && !loadMaster(DarkFlat::CorrectFlat)))
        return false;
    camera->setFormat(camera->width, camera->height, 1, 16);
    if (state.flatCaptureMode) {
        const int index = settings.lexposure + (largeSensor() ? 2 : 0);
        debugLog("liveExp=%d", index);
        camera->setExposureIndex(index);
    } else {
        // The libraries take 32-bit microseconds.
        const long long us = std::min<long long>(exposureSeconds() * 1000000LL, INT32_MAX);
        camera->setExposureUs(int(us));
    }
    camera->setGain(state.flatCaptureMode ? settings.lgain : settings.gain);
    startSnap();
    Clock::sleepMs(1000);
    setState(2);
    lastCountdown = -1;
    debugLog("Snap out");
    return true;
}

bool CaptureLoop::loadMaster(int operation) {
    const CameraDevice& camera = *devices.camera;
    const SettingsRecord& settings = *state.settings;
    if (operation == DarkFlat::SubtractDark)
        return DarkFlat::loadMasterDark(settings, camera.width, camera.height, settings.gain,
                                        &masterDark);
    return DarkFlat::loadMasterFlat(settings, camera.width, camera.height, &masterFlat);
}

bool CaptureLoop::switchCorrection(int operation, bool on) {
    int& switchedOn = operation == DarkFlat::SubtractDark ? state.darkOn : state.flatOn;
    // Turned on while light frames are being taken, it serves the next frame: its master is
    // loaded now, and one that cannot be loaded leaves the switch off.
    const bool lightSeries = (state.captureState == 2 || state.captureState == 4) &&
                             !masterSeries() && !dslrPath() && devices.camera;
    if (on && !switchedOn && lightSeries && !loadMaster(operation))
        return false;
    switchedOn = on ? 1 : 0;
    return true;
}

void CaptureLoop::startSnap() {
    exposureStart = Clock::currentDateTime();
    devices.camera->startSnap();
    if (devices.svbonyReader)
        devices.svbonyReader->wake();
}

void CaptureLoop::startSeries(const char* logLine, bool singleFrame) {
    if (logLine)
        debugLog("%s", logLine);
    screen.setMode(2);
    devices.timer->prepareSeries(singleFrame);
    lastCountdown = -1;
}

void CaptureLoop::pressCapture() {
    if (state.captureState == 2 || state.captureState == 4) {
        state.stopRequested = true;
        return;
    }
    saveSettings(*state.settings);
    // A light series: no master mode left over from a series that ended without its master.
    state.darkCaptureMode = 0;
    state.flatCaptureMode = 0;
    if (!startCapture())
        return;
    startSeries("Pass mainW-1", false);
    recordPhotographedField();
}

void CaptureLoop::recordPhotographedField() {
    if (!state.photoHistory)
        return;
    const SettingsRecord& s = *state.settings;
    if (dslrPath()) {
        if (s.digiFocal <= 0)
            return;
        // The camera is offset from the telescope's pointing as the goto window offsets it.
        const double sign = s.decDir == 1 ? -1 : 1;
        const auto angle = [&](int tenthsMm) {
            return 2.0 * std::atan(tenthsMm / 10.0 / (2.0 * s.digiFocal)) * 180.0 / M_PI;
        };
        state.photoHistory->add(state.syncPointRa + sign * s.digiOffRa / 1000.0,
                                state.syncPointDec + sign * s.digiOffDec / 1000.0,
                                angle(s.digiCenLong), angle(s.digiCenShort),
                                s.digiAngle == 1 ? 90 : 0);
        return;
    }
    const CameraDevice* camera = devices.camera;
    if (!camera || s._focal <= 0)
        return;
    // The rotation is the camera's turn on the sky, as plate solving found it.
    state.photoHistory->add(state.syncPointRa, state.syncPointDec,
                            fieldAngleDegrees(camera->width, camera->pixelSizeUm, s._focal),
                            fieldAngleDegrees(camera->height, camera->pixelSizeUm, s._focal),
                            90.0 * display.view().cameraRotation);
}

void CaptureLoop::pressOneShot() {
    const int captureState = state.captureState;
    if (captureState == 2 || captureState == 4) {
        state.stopRequested = true;
        return;
    }
    if (captureState == 1) {
        if (!devices.camera)
            return;
        devices.camera->stopVideo();
        setState(0);
        state.flatCaptureMode = 1;
        if (!startCapture()) {
            state.flatCaptureMode = 0;
            screen.setMode(0); // live view has ended either way
            return;
        }
        startSeries("フラット撮影Start", false);
        state.accumulatedCount = 0;
    } else if (captureState == 0 || captureState == 3) {
        if (!startCapture())
            return;
        startSeries("one-shot Start", true);
    }
}

void CaptureLoop::pressDarkSeries() {
    if (state.captureState == 2 || state.captureState == 4) {
        state.stopRequested = true;
        return;
    }
    if (state.captureState != 0 || !startCapture())
        return;
    startSeries("インターバルStart", false);
    state.darkCaptureMode = 1;
    state.accumulatedCount = 0;
}

void CaptureLoop::pressFlatSeries() {
    if (state.captureState == 2 || state.captureState == 4) {
        state.stopRequested = true;
        return;
    }
    if (state.captureState != 0)
        return;
    state.flatCaptureMode = 1;
    if (!startCapture()) {
        state.flatCaptureMode = 0;
        return;
    }
    startSeries("フラット撮影Start", false);
    state.accumulatedCount = 0;
}

bool CaptureLoop::startSolveShot() {
    if (!startCapture())
        return false;
    startSeries(nullptr, true);
    return true;
}

void CaptureLoop::step() {
    serviceWriter();
    // The timer reads the cooled sensor once a second, whatever the capture is doing.
    if (devices.camera && devices.camera->hasCooler)
        screen.showTemperature(devices.timer->currentTemperature());
    switch (state.captureState) {
    case 1:
        showLiveFrame();
        break;
    case 2:
        exposing();
        break;
    case 4:
        intervalWait();
        break;
    }
}

void CaptureLoop::showLiveFrame() {
    if (!devices.reader || !devices.reader->takeFrame(liveFrame))
        return;
    if (state.liveStretch)
        PreviewStretch(liveFrame, devices.camera->isColor).apply(liveFrame, liveFrame);
    addBrightness(liveFrame, state.settings->liveBright);
    display.showImage(liveFrame, devices.camera->isColor, devices.camera->bayerPattern);
    fillLiveShownData();
    screen.showShootingInfo(shown, shownDateText);
}

void CaptureLoop::fillLiveShownData() {
    const SettingsRecord& settings = *state.settings;
    const LiveExposure::Fraction exposure = LiveExposure::fraction(settings.lexposure);
    shown = ShootingData();
    shown.exposureNumerator = exposure.numerator;
    shown.exposureDenominator = exposure.denominator;
    shown.gain = settings.lgain;
    shown.setCapturedAt(Clock::currentDateTime());
    shownDateText = infoPanelDate(shown.capturedAt());
}

QString CaptureLoop::timeText(int seconds, int lastField) const {
    const int remaining = devices.timer->remaining();
    QString text =
        QString::asprintf("%02d %02d:%02d %02d", remaining, seconds / 60, seconds % 60, lastField);
    if (devices.camera && devices.camera->hasCooler)
        text += QString::asprintf("   %d", devices.timer->currentTemperature());
    if (state.darkOn)
        text += " Dark";
    else if (state.flatOn)
        text += " Flat";
    return text;
}

void CaptureLoop::exposing() {
    CameraDevice* camera = devices.camera;
    const bool dslr = dslrPath();
    // The USB camera delivers its 8-bit colour picture itself; the others are read raw.
    if (!dslr && camera && !isUvc()) {
        raw.create(camera->height, camera->width, CV_16UC1);
        frame8.create(camera->height, camera->width, CV_8UC1);
    }
    const int countdown = devices.timer->countdown();
    if (countdown != lastCountdown && countdown >= 0) {
        lastCountdown = countdown;
        const QString text = timeText(countdown, state.settings->timInt);
        screen.showTimeText(text);
        if (hooks.compositeExists && hooks.compositeExists() && hooks.compositeTimeText)
            hooks.compositeTimeText(text);
    }
    if (dslr) {
        if (countdown <= 0) {
            if (devices.shutter)
                devices.shutter->setShutter(false);
            finishFrame();
        }
        serveStopRequest();
        return;
    }
    if (!camera)
        return;
    if (camera->isExposing()) {
        checkExposureTimeout(countdown);
        serveStopRequest();
        return;
    }
    if (camera->vendor() == CameraDevice::Svbony) {
        camera->stopSnap();
        if (countdown > 3) {
            // The camera reported the exposure done well before its time: take it again.
            setState(0);
            devices.timer->resetCountdown();
            startSnap();
            setState(2);
            debugLog("*** getSnapData Error *** setExp = %d realExp = %d", exposureSeconds(),
                     countdown);
            serveStopRequest();
            return;
        }
    }
    if (readFrame()) {
        processFrame();
        keepFrame();
    } else if (masterSeries() && devices.timer->remaining() <= 1 && state.accumulatedCount > 0) {
        writeMaster(); // the frames already averaged still make the master
    }
    finishFrame();
    serveStopRequest();
}

void CaptureLoop::checkExposureTimeout(int countdown) {
    if (countdown >= -exposureTimeoutSeconds)
        return;
    debugLog("Exposure timeout: no image %d s after the exposure's end", exposureTimeoutSeconds);
    devices.camera->stopSnap();
    state.stopRequested = false;
    state.darkCaptureMode = 0;
    state.flatCaptureMode = 0;
    setState(0);
    screen.setMode(0);
    UserPrompt::showMessage(captureFailed);
}

bool CaptureLoop::readFrame() {
    if (isUvc())
        return readUvcFrames();
    if (devices.camera->getSnapData(raw.data, long(raw.total() * raw.elemSize())))
        return true;
    // The buffer holds no picture: nothing is saved, and the series goes on with its next
    // frame while the user reads why one is missing.
    debugLog("Frame not saved: the camera delivered no image");
    UserPrompt::showNotice(captureFailed);
    return false;
}

bool CaptureLoop::readUvcFrames() {
    UvcCapture* uvc = devices.camera->uvc.get();
    auto failed = [this] {
        state.solveShot = false;
        if (hooks.closeSolveProgress)
            hooks.closeSolveProgress();
        UserPrompt::showMessage(captureFailed);
        return false;
    };
    // A read that fails counts as an empty frame.
    cv::Mat frame;
    const auto next = [uvc, &frame] {
        if (!uvc || !uvc->read(frame))
            frame.release();
    };
    // The first frames may be old ones from the camera's queue: the third is kept.
    for (int i = 0; i < 3; ++i)
        next();
    if (frame.empty())
        return failed();
    frame8 = frame.clone();
    for (int i = 1; i < state.settings->plateExp; ++i) {
        next();
        if (frame.empty() || frame.size() != frame8.size() || frame.type() != frame8.type())
            return failed();
        cv::add(frame8, frame, frame8); // saturates at 255
        debugLog("Add frame");
    }
    return true;
}

void CaptureLoop::processFrame() {
    const CameraDevice& camera = *devices.camera;
    appliedCorrection = 0;
    if (!masterSeries()) {
        if ((state.darkOn || state.flatOn) && !isUvc()) {
            const int mode = state.darkOn && state.flatOn ? DarkFlat::DarkAndFlat
                             : state.darkOn               ? DarkFlat::DarkOnly
                                                          : DarkFlat::FlatOnly;
            if (DarkFlat::correctFrame(raw, masterDark, masterFlat, camera.isColor, mode,
                                       camera.offset))
                appliedCorrection = (state.darkOn ? ShootingData::DarkSubtracted : 0) |
                                    (state.flatOn ? ShootingData::FlatApplied : 0);
            else
                debugLog("Frame not corrected: the master dark or flat does not fit it");
        }
        if (!isUvc())
            makePreview(raw);
    } else {
        if (state.accumulatedCount == 0)
            masterStart = exposureStart;
        DarkFlat::addFrameToAverage(accumulator, raw, state.accumulatedCount);
        ++state.accumulatedCount;
        makePreview(accumulator);
    }
    ViewState& view = display.view();
    view.displayIsColor = camera.isColor;
    view.displayBayer = camera.bayerPattern;
}

void CaptureLoop::makePreview(const cv::Mat& frame16) {
    // Shared, not copied: the writer takes the frame over and a redraw only reads it.
    previewSource = frame16;
    previewFile.clear();
    previewHandedOver = false;
    screenPicture(frame16, devices.camera->isColor, state.previewStretch, frame8);
}

bool CaptureLoop::redrawPreview() {
    if (display.frameNumber() != previewNumber)
        return false;
    if (!previewSource.empty()) {
        screenPicture(previewSource, devices.camera->isColor, state.previewStretch, frame8);
    } else if (!previewFile.isEmpty()) {
        const ShownFile file = readShownFile(previewFile, state.previewStretch);
        if (!file.ok)
            return true;
        frame8 = file.image8;
    } else {
        return true; // the USB camera's own 8-bit picture
    }
    showPreview();
    return true;
}

void CaptureLoop::showPreview() {
    const ViewState& view = display.view();
    display.showImage(frame8, view.displayIsColor, view.displayBayer);
    previewNumber = display.frameNumber();
}

void CaptureLoop::keepFrame() {
    ViewState& view = display.view();
    if (state.solveShot) {
        display.setDisplayGeometry(frame8.cols, frame8.rows);
        view.zoom = 1;
        view.shrink = 1;
        showPreview();
        screen.showFileName("solve.jpg");
        // The solver gets the plain high bytes, whatever the screen shows.
        saveJpeg(isUvc() ? frame8 : highBytes(raw));
        return;
    }
    fillShownData();
    display.setDisplayGeometry(frame8.cols, frame8.rows);
    showPreview();
    screen.showShootingInfo(shown, shownDateText);

    if (!masterSeries()) {
        writeLightFrame();
    } else if (state.accumulatedCount == state.settings->timRep ||
               devices.timer->remaining() <= 1) {
        // The last frame of the series makes the master, also for a series of 0 frames,
        // which takes one.
        writeMaster();
    } else {
        screen.showFileName(
            QString::asprintf("%d/%d", state.accumulatedCount, state.settings->timRep));
    }
}

void CaptureLoop::fillShownData() {
    const CameraDevice& camera = *devices.camera;
    shown = ShootingData();
    shown.model = camera.name.toLocal8Bit();
    const SeriesExposure exposure = seriesExposure();
    shown.exposureNumerator = exposure.numerator;
    shown.exposureDenominator = exposure.denominator;
    shown.gain = exposure.gain;
    shown.frameCount = masterSeries() ? state.accumulatedCount : 1;
    shown.correctionFlags = appliedCorrection;
    shown.setCapturedAt(masterSeries() ? masterStart : exposureStart);
    // The time as the file keeps it, so that playback shows the same.
    shownDateText = infoPanelDate(shown.capturedAt());
}

CaptureLoop::SeriesExposure CaptureLoop::seriesExposure() const {
    const SettingsRecord& settings = *state.settings;
    if (state.flatCaptureMode) {
        const LiveExposure::Fraction live = LiveExposure::fraction(settings.lexposure);
        return {live.numerator, live.denominator, settings.lgain};
    }
    return {exposureSeconds(), 1, settings.gain};
}

ShootingData CaptureLoop::shootingDataFor(char kind) const {
    const CameraDevice& camera = *devices.camera;
    ShootingValues values;
    const SeriesExposure exposure = seriesExposure();
    values.exposureNumerator = exposure.numerator;
    values.exposureDenominator = exposure.denominator;
    values.gain = exposure.gain;
    values.offset = camera.offset;
    values.isColor = camera.isColor;
    values.bayer = camera.bayerPattern;
    values.cameraName = camera.name;
    values.darkOn = appliedCorrection & ShootingData::DarkSubtracted;
    values.flatOn = appliedCorrection & ShootingData::FlatApplied;
    values.accumulatedCount = state.accumulatedCount;
    values.start = kind == 'M' ? exposureStart : masterStart;
    return fileShootingData(kind, values);
}

void CaptureLoop::writeLightFrame() {
    waitForWriter(); // a frame still being written from before is listed first
    const CameraDevice& camera = *devices.camera;
    FrameWriteJob job;
    if (isUvc()) {
        frame8.convertTo(job.frame, CV_16U, 256.0); // the USB camera delivers 8-bit colour
    } else {
        job.frame = raw; // handed over: the next exposure gets a buffer of its own
        raw.release();
        previewHandedOver = true;
    }
    job.kind = 'M';
    job.data = shootingDataFor(job.kind);
    job.isColor = camera.isColor && job.frame.channels() == 1;
    job.bayer = camera.bayerPattern;
    const int filter = hooks.filterPosition ? hooks.filterPosition() : -1;
    job.filterWheel = filter >= 0;
    job.filterPosition = std::max(filter, 0);
    devices.writer->startWriting(std::move(job));
    if (!state.autoComposite)
        return;
    waitForWriter();
    const QString path = folder.currentPath();
    if (hooks.compositeExists && hooks.compositeExists()) {
        if (hooks.compositeAddFrame)
            hooks.compositeAddFrame(path);
    } else if (hooks.compositeLoadFirst) {
        hooks.compositeLoadFirst(path);
    }
}

void CaptureLoop::writeMaster() {
    waitForWriter();
    CameraDevice& camera = *devices.camera;
    FrameWriteJob job;
    job.frame = accumulator; // the next series starts its mean afresh
    accumulator.release();
    previewHandedOver = true;
    job.kind = state.darkCaptureMode ? 'D' : 'F';
    job.data = shootingDataFor(job.kind);
    job.isColor = camera.isColor;
    job.bayer = camera.bayerPattern;
    job.cooled = camera.hasCooler;
    if (job.cooled && job.kind == 'D') {
        QMutexLocker lock(&state.frameMutex);
        job.temperature = camera.getTemperature();
    }
    devices.writer->startWriting(std::move(job));
}

void CaptureLoop::finishFrame() {
    TimerThread& timer = *devices.timer;
    timer.frameDone();
    if (timer.remaining() < 1) {
        // A master series that could not make its master leaves no mode behind for the next
        // exposure; one that did has handed its kind to the writer already.
        state.darkCaptureMode = 0;
        state.flatCaptureMode = 0;
        if (!dslrPath()) {
            setState(3);
            screen.showTimeText(timeText(0, state.settings->timInt));
            screen.setMode(3);
            if (state.solveShot && hooks.startPlateSolve)
                hooks.startPlateSolve();
        }
        if (state.digitalCameraMode) {
            setState(0);
            screen.setMode(0);
        }
        return;
    }
    setState(4);
    timer.setCountdown(state.settings->timInt);
    lastCountdown = -1;
    if (hooks.autoguiderOpen && hooks.autoguiderOpen() && state.settings->dither &&
        hooks.startDither)
        hooks.startDither();
}

bool CaptureLoop::serveStopRequest() {
    if (!state.stopRequested)
        return false;
    state.stopRequested = false;
    state.darkCaptureMode = 0;
    state.flatCaptureMode = 0;
    if (!dslrPath()) {
        if (devices.camera && devices.camera->isExposing())
            devices.camera->stopSnap();
    } else if (devices.shutter) {
        devices.shutter->setShutter(false);
    }
    setState(0);
    screen.setMode(0);
    return true;
}

void CaptureLoop::intervalWait() {
    if (state.stopRequested) {
        state.stopRequested = false;
        state.darkCaptureMode = 0;
        state.flatCaptureMode = 0;
        setState(0);
        screen.setMode(0);
        return;
    }
    TimerThread& timer = *devices.timer;
    const int countdown = timer.countdown();
    if (countdown != lastCountdown && countdown >= 0) {
        lastCountdown = countdown;
        screen.showTimeText(timeText(0, countdown));
    }
    const bool guiderBusy = hooks.autoguiderOpen && hooks.autoguiderOpen() && hooks.isGuiderBusy &&
                            hooks.isGuiderBusy();
    if (countdown > 0 || guiderBusy)
        return;
    // The next exposure waits for the last frame's files. The series stays in its interval
    // meanwhile, so the window answers and a stop press still ends the series.
    if (devices.writer->writeBusy()) {
        screen.showFileName(QStringLiteral("書き込み中"));
        return;
    }
    if (!writeSucceeded) {
        // The last file could not be written: the series ends here.
        state.darkCaptureMode = 0;
        state.flatCaptureMode = 0;
        setState(0);
        screen.setMode(0);
        return;
    }
    timer.resetCountdown();
    lastCountdown = -1;
    debugLog("next exposure rep=%d, rep=%d", timer.remaining(), timer.countdown());
    if (!dslrPath()) {
        startSnap();
    } else {
        debugLog("Shutter Start");
        if (devices.shutter)
            devices.shutter->setShutter(true);
    }
    setState(2);
}

void CaptureLoop::serviceWriter() {
    if (!devices.writer)
        return;
    if (std::optional<WrittenFiles> written = devices.writer->takeResult()) {
        registerWritten(*written);
        devices.writer->clearBusy();
    }
}

void CaptureLoop::waitForWriter() {
    // The window keeps answering while the file is written.
    while (devices.writer->writeBusy()) {
        QCoreApplication::processEvents();
        serviceWriter();
        if (devices.writer->writeBusy())
            devices.writer->wait(QDeadlineTimer(10));
    }
}

void CaptureLoop::registerWritten(const WrittenFiles& written) {
    writeSucceeded = written.ok;
    if (previewHandedOver && written.rawWritten) {
        // The preview's frame is on disk: its memory goes, a redraw reads the file.
        previewSource.release();
        previewFile = written.rawPath;
        previewHandedOver = false;
    }
    // A raw frame that was written is listed even when its colour twin was not.
    const QString label = registerWrittenFiles(written, folder, *state.settings,
                                               state.darkCaptureMode, state.flatCaptureMode);
    if (!label.isEmpty())
        screen.showFileName(label);
    if (written.kind != 'M' && written.rawWritten)
        screen.showMasterNames(state.settings->preDark, state.settings->preFlat);
    if (written.ok)
        return;
    // A disk that cannot take the frame will not take the next one: the series ends.
    debugLog("Series stopped: %s was not written", qPrintable(written.rawPath));
    if (state.captureState == 2 || state.captureState == 4)
        state.stopRequested = true;
    UserPrompt::showMessage(captureFailed);
}
