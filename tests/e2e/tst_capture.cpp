// The capture end to end: the real main window on the simulated observatory, driven through
// its buttons, checked on the files in the data folder, the camera's calls and the screen.
#include "CameraDevice.h"
#include "CaptureHooks.h"
#include "CaptureLoop.h"
#include "Clock.h"
#include "DataFolder.h"
#include "E2eFrames.h"
#include "E2eProgram.h"
#include "FileSizeLimit.h"
#include "HostPath.h"
#include "ImageDisplay.h"
#include "InfoPanelTexts.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "SimCamera.h"
#include "SimObservatory.h"
#include "SimShutterAdapter.h"
#include "TiffFile.h"
#include "TimerThread.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <opencv2/imgcodecs.hpp>
#include <vector>

namespace {

int countOf(const QStringList& lines, const QString& line) {
    return int(std::count(lines.begin(), lines.end(), line));
}

QStringList simCalls(E2eProgram& e2e) {
    return e2e.program().sim()->callLog().calls();
}

void recordCalls(E2eProgram& e2e) {
    e2e.program().sim()->callLog().clear();
    e2e.program().sim()->callLog().setRecording(true);
}

// The time as files keep it: to the second.
QDateTime toSecond(const QDateTime& time) {
    return time.addMSecs(-time.time().msec());
}

} // namespace

class TestCapture : public QObject {
    Q_OBJECT
private slots:
    void lightSeries();
    void darkSeries();
    void flatSeries();
    void realtimeCorrection();
    void stop();
    void stopWhileWriting();
    void svbonyEarly();
    void dslr();
    void cooling();
    void coolingPanelFollowsTheSensor_data();
    void coolingPanelFollowsTheSensor();
    void liveView();
    void infoPanel();
    void playback();
    void solveShot();
    void drives();
    void hooks();
    void cameraStopsAnswering();
    void failedRead_data();
    void failedRead();
    void diskFills();
};

void TestCapture::lightSeries() {
    E2eProgram e2e;
    e2e.runFor(2000); // the idle window shows the sensor's temperature
    saveScreenshot(&e2e.window(), "Idle");
    shortSeries(e2e.settings(), 3, 1, 1);
    e2e.settings().gain = 14;
    QVERIFY(e2e.press("pushButton_6"));
    QCOMPARE(e2e.window().mode(), 2);
    // Frames left, the exposure's minutes and seconds, the interval, and the cooled sensor's
    // temperature; in the interval its seconds count down in the last field.
    const QRegularExpression exposing("^03 00:0[01] 01   -?\\d+$");
    const QRegularExpression waiting("^02 00:00 0[01]   -?\\d+$");
    QVERIFY(
        e2e.runUntil([&] { return exposing.match(e2e.labelText("labelTimeCount")).hasMatch(); }));
    saveScreenshot(&e2e.window(), "LightSeriesExposing");
    QVERIFY(
        e2e.runUntil([&] { return waiting.match(e2e.labelText("labelTimeCount")).hasMatch(); }));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 3; }));
    // The last frame's files are written while its picture is already on screen.
    QVERIFY(e2e.runUntil([&] { return e2e.program().dataFolder().count() == 3; }));

    QCOMPARE(e2e.dataFiles(), (QStringList{"C00001.tif", "C00002.tif", "C00003.tif", "M00001.tif",
                                           "M00002.tif", "M00003.tif"}));
    QDateTime previous;
    for (int n = 1; n <= 3; ++n) {
        cv::Mat raw;
        const ShootingData data = dataOf(e2e.dataPath(QString::asprintf("M%05d.tif", n)), &raw);
        // Each frame keeps the start of its own exposure.
        QVERIFY(data.capturedAt() > previous);
        previous = data.capturedAt();
        QCOMPARE(raw.cols, e2e.state().camera->width);
        QCOMPARE(raw.rows, e2e.state().camera->height);
        QCOMPARE(raw.channels(), 1);
        QCOMPARE(data.exposureNumerator, 1);
        QCOMPARE(data.exposureDenominator, 1);
        QCOMPARE(data.gain, 14);
        QCOMPARE(data.correctionFlags, 0);
        QCOMPARE(data.frameCount, 1);
        QVERIFY(data.model.startsWith("C0ZWO ASI294MC"));
        cv::Mat colour;
        dataOf(e2e.dataPath(QString::asprintf("C%05d.tif", n)), &colour);
        QCOMPARE(colour.channels(), 3);
    }
    // The list and the screen end on the last frame, which is not a blank canvas.
    QCOMPARE(e2e.program().dataFolder().currentName(), QString("M00003.tif"));
    QCOMPARE(e2e.labelText("labelFileName"), QString("M00003"));
    QCOMPARE(e2e.window().mode(), 3);
    const cv::Mat& canvas = e2e.program().display().canvas();
    // The frame fills the canvas's height between dark-blue borders.
    QCOMPARE(canvas.at<cv::Vec3b>(320, 20), cv::Vec3b(80, 0, 0));
    QVERIFY(canvas.at<cv::Vec3b>(320, 600) != cv::Vec3b(80, 0, 0));
    QVERIFY(e2e.log.contains("Pass mainW-1"));
    QVERIFY(e2e.log.contains("next exposure rep=2, rep=1"));
    saveScreenshot(&e2e.window(), "LightSeriesDone");

    // One more frame from the last image on screen, whatever the series' count says.
    e2e.settings().timRep = 5;
    QVERIFY(e2e.press("pushButton_38"));
    QVERIFY(e2e.log.contains("one-shot Start"));
    QVERIFY(e2e.runUntil([&] { return e2e.program().dataFolder().count() == 4; }));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 3; }));
    e2e.runFor(2000);
    QCOMPARE(e2e.program().dataFolder().count(), 4);
}

void TestCapture::darkSeries() {
    E2eProgram e2e;
    shortSeries(e2e.settings(), 3, 1, 2);
    e2e.camera().setScene(SimScene::CapOn);
    const QDateTime pressed = toSecond(Clock::currentDateTime());
    QVERIFY(e2e.press("pushButton_33"));
    const QDateTime firstExposing = Clock::currentDateTime(); // the next starts 3 s later
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 3; }));
    QVERIFY(e2e.runUntil([&] {
        return !e2e.settings().preDark.isEmpty() && e2e.settings().preDark.startsWith("D00001");
    }));
    const QStringList files = e2e.dataFiles();
    QCOMPARE(files.size(), 1);
    // A cooled camera's dark carries its temperature.
    QVERIFY2(QRegularExpression("^D00001_[PM]\\d\\d\\.tif$").match(files[0]).hasMatch(),
             qPrintable(files[0]));
    QCOMPARE(e2e.settings().preDark, files[0]);
    QCOMPARE(e2e.labelText("labelDarkFileName"), files[0]);
    const ShootingData data = dataOf(e2e.dataPath(files[0]));
    QCOMPARE(data.frameCount, 3);
    QCOMPARE(data.correctionFlags, 0);
    // A master is dated by the start of its first frame.
    QVERIFY2(data.capturedAt() >= pressed && data.capturedAt() <= firstExposing,
             qPrintable(data.dateTime));
    QCOMPARE(e2e.state().darkCaptureMode, 0);
    // A master is no light frame: the playback list does not show it.
    QCOMPARE(e2e.program().dataFolder().count(), 0);
}

void TestCapture::flatSeries() {
    E2eProgram e2e;
    shortSeries(e2e.settings(), 2, 5, 0);
    e2e.settings().lgain = 3;
    e2e.settings().lexposure = 4;
    e2e.camera().setScene(SimScene::FlatPanel);
    recordCalls(e2e);
    QVERIFY(e2e.press("pushButton_7"));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 1; }));
    // The live gain as live view set it.
    const QStringList liveCalls = simCalls(e2e);
    const QString liveGain = liveCalls.filter("ASISetControlValue(0, ").value(0);
    QVERIFY(!liveGain.isEmpty());
    recordCalls(e2e);
    QVERIFY(e2e.press("pushButton_38"));
    QCOMPARE(e2e.window().mode(), 2);
    QVERIFY(e2e.log.contains("liveExp=6")); // the live step, two more on a large sensor
    const QStringList calls = simCalls(e2e);
    QVERIFY2(
        calls.contains(QString("ASISetControlValue(1, %1)").arg(CameraDevice::exposureTableUs(6))),
        qPrintable(calls.join('|')));
    QCOMPARE(calls.filter("ASISetControlValue(0, "), QStringList{liveGain});
    // Each flat frame counts one second, whatever the series' exposure says.
    QVERIFY(e2e.program().timer().countdown() <= 1);
    QVERIFY(e2e.runUntil([&] { return e2e.settings().preFlat == "F00001.tif"; }));
    QCOMPARE(e2e.dataFiles(), QStringList{"F00001.tif"});
    QCOMPARE(e2e.labelText("labelFlatFileName"), QString("F00001.tif"));
    const ShootingData data = dataOf(e2e.dataPath("F00001.tif"));
    QCOMPARE(data.frameCount, 2);
    // The file keeps the live step and gain it was taken at, as the screen showed them.
    QCOMPARE(data.exposureNumerator, 1);
    QCOMPARE(data.exposureDenominator, 60);
    QCOMPARE(data.gain, 3);
    QCOMPARE(e2e.labelText("labelInfoExposure"), QStringLiteral("露出:1/60s"));
    QCOMPARE(e2e.state().flatCaptureMode, 0);
}

void TestCapture::realtimeCorrection() {
    E2eProgram e2e;
    SettingsRecord& settings = e2e.settings();
    shortSeries(settings, 2, 1, 0);
    e2e.camera().setScene(SimScene::CapOn);
    QVERIFY(e2e.press("pushButton_33"));
    QVERIFY(e2e.runUntil([&] { return !settings.preDark.isEmpty(); }));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 3; }));
    QVERIFY(e2e.press("pushButton_32")); // back to idle
    e2e.camera().setScene(SimScene::FlatPanel);
    QVERIFY(e2e.press("pushButton_34"));
    QVERIFY(e2e.runUntil([&] { return !settings.preFlat.isEmpty(); }));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 3; }));
    QVERIFY(e2e.press("pushButton_32"));

    e2e.camera().setScene(SimScene::Sky);
    shortSeries(settings, 1, 1, 0);
    QVERIFY(e2e.press("pushButton_6")); // uncorrected, to compare with
    QVERIFY(e2e.runUntil([&] { return e2e.program().dataFolder().count() == 1; }));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 3; }));
    QVERIFY(e2e.press("pushButton_26"));
    QVERIFY(e2e.press("pushButton_28"));
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return e2e.program().dataFolder().count() == 2; }));

    cv::Mat dark, plain, corrected;
    dataOf(e2e.dataPath(settings.preDark), &dark);
    const ShootingData plainData = dataOf(e2e.dataPath("M00003.tif"), &plain);
    const ShootingData correctedData = dataOf(e2e.dataPath("M00004.tif"), &corrected);
    QCOMPARE(plainData.correctionFlags, 0);
    QCOMPARE(correctedData.correctionFlags,
             int(ShootingData::DarkSubtracted | ShootingData::FlatApplied));
    const std::vector<cv::Point> hot = hotPixels(dark);
    QVERIFY2(hot.size() > 10, qPrintable(QString::number(hot.size())));
    const double before = hotExcess(plain, hot), after = hotExcess(corrected, hot);
    QVERIFY2(before > 2000 && std::abs(after) < 200,
             qPrintable(QString("hot pixels stand out by %1, then %2").arg(before).arg(after)));
}

void TestCapture::stop() {
    E2eProgram e2e;
    SettingsRecord& settings = e2e.settings();
    recordCalls(e2e);

    // During an exposure: the camera's exposure is aborted, nothing is written.
    shortSeries(settings, 3, 30, 1);
    QVERIFY(e2e.press("pushButton_6"));
    e2e.runFor(2000);
    QVERIFY(e2e.camera().isExposing());
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 0; }, 5000));
    QCOMPARE(e2e.window().mode(), 0);
    QVERIFY(simCalls(e2e).contains("ASIStopExposure"));
    QVERIFY(!e2e.camera().isExposing());
    QVERIFY(e2e.dataFiles().isEmpty());

    // During the interval: the series ends without another exposure.
    shortSeries(settings, 3, 1, 60);
    recordCalls(e2e);
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 4; }));
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 0; }, 5000));
    QVERIFY(e2e.runUntil([&] { return e2e.program().dataFolder().count() == 1; }));
    e2e.runFor(3000);
    QCOMPARE(countOf(simCalls(e2e), "ASIStartExposure"), 1);
    QCOMPARE(e2e.dataFiles(), (QStringList{"C00001.tif", "M00001.tif"}));

    // No repetitions set: one frame all the same.
    shortSeries(settings, 0, 1, 0);
    recordCalls(e2e);
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 3; }));
    QCOMPARE(countOf(simCalls(e2e), "ASIStartExposure"), 1);
    QCOMPARE(e2e.program().timer().remaining(), -1);
    QVERIFY(e2e.runUntil([&] { return e2e.dataFiles().contains("M00002.tif"); }));
}

void TestCapture::stopWhileWriting() {
    // The largest colour sensor: its frame and colour twin take a while to write, so the
    // interval of 0 ends while the writer is still at work.
    E2eProgram::Options options;
    options.cameras = "ASI2600MC";
    E2eProgram e2e(options);
    shortSeries(e2e.settings(), 3, 1, 0);
    recordCalls(e2e);
    bool pressed = false;
    QTimer finger;
    QObject::connect(&finger, &QTimer::timeout, [&] {
        if (!pressed && e2e.labelText("labelFileName") == QStringLiteral("書き込み中"))
            pressed = e2e.press("pushButton_6");
    });
    finger.start(1);
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return pressed; }));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 0; }, 10000));
    QVERIFY(e2e.runUntil([&] { return e2e.program().dataFolder().count() == 1; }));
    e2e.runFor(3000);
    // "停止" ended the series: no second exposure, the written frame kept and listed.
    QCOMPARE(e2e.state().captureState.load(), 0);
    QCOMPARE(e2e.window().mode(), 0);
    QCOMPARE(countOf(simCalls(e2e), "ASIStartExposure"), 1);
    QCOMPARE(e2e.dataFiles(), (QStringList{"C00001.tif", "M00001.tif"}));
    QCOMPARE(e2e.program().dataFolder().count(), 1);
}

void TestCapture::svbonyEarly() {
    E2eProgram::Options options;
    options.cameras = "SV605CC";
    options.clockScale = 2;
    E2eProgram e2e(options);
    shortSeries(e2e.settings(), 1, 8, 0);
    TimerThread& timer = e2e.program().timer();

    // Four seconds early: taken again with the full time.
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return timer.countdown() == 4; }));
    e2e.camera().finishEarly();
    QVERIFY(e2e.runUntil(
        [&] { return !e2e.log.lines().filter("*** getSnapData Error ***").isEmpty(); }));
    const QDateTime restarted = Clock::currentDateTime();
    QVERIFY(timer.countdown() >= 7);
    QCOMPARE(e2e.state().captureState.load(), 2);
    QVERIFY(e2e.dataFiles().isEmpty());

    // Two seconds early: accepted.
    QVERIFY(e2e.runUntil([&] { return timer.countdown() == 2; }));
    e2e.camera().finishEarly();
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 3; }, 10000));
    QCOMPARE(e2e.log.lines().filter("getSnapData Error").size(), 1);
    QVERIFY(e2e.log.contains("SVBONY snapData get success"));
    QVERIFY(e2e.runUntil([&] { return e2e.program().dataFolder().count() == 1; }));
    QCOMPARE(e2e.dataFiles(), (QStringList{"C00001.tif", "M00001.tif"}));
    // The frame is dated by the exposure taken again, four seconds after the first.
    QVERIFY(dataOf(e2e.dataPath("M00001.tif")).capturedAt() >= restarted.addSecs(-1));
}

void TestCapture::dslr() {
    E2eProgram::Options options;
    options.cameras = "EOS6D";
    options.digitalCameraMode = true;
    E2eProgram e2e(options);
    SimShutterAdapter* shutter = e2e.program().sim()->shutterAdapter();
    QVERIFY(shutter && shutter->isValid());
    shortSeries(e2e.settings(), 1, 3, 0);
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.log.contains("Shutter Start"));
    QCOMPARE(e2e.state().captureState.load(), 2);
    QTRY_VERIFY(shutter->isShutterOpen());
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 0; }, 20000));
    QTRY_COMPARE(shutter->received(), QByteArray("10"));
    QCOMPARE(e2e.window().mode(), 0);
    const QVector<std::int64_t> open = shutter->openTimesMs();
    QCOMPARE(open.size(), 1);
    QVERIFY2(open[0] >= 2500 && open[0] < 6000, qPrintable(QString::number(open[0])));
    QVERIFY(e2e.messages.isEmpty());
}

void TestCapture::cooling() {
    E2eProgram::Options options;
    options.clockScale = 60;
    E2eProgram e2e(options);
    SettingsRecord& settings = e2e.settings();
    SimCamera& camera = e2e.camera();
    TimerThread& timer = e2e.program().timer();

    // A ramp of 5 degrees a minute towards -10.
    settings.slowC = 5;
    settings.temp = -10;
    QVERIFY(e2e.press("pushButton_30"));
    // The pressed button red, the other two dark blue.
    auto* on = e2e.window().findChild<QPushButton*>("pushButton_30");
    auto* off = e2e.window().findChild<QPushButton*>("pushButton_31");
    QVERIFY(on->styleSheet().contains("red"));
    QVERIFY(off->styleSheet().contains("rgb(0, 0, 128)"));
    QVERIFY(camera.coolerOn());
    const double first = camera.targetTemperature();
    QVERIFY(timer.slowCooling());
    e2e.runFor(30000);
    QCOMPARE(camera.targetTemperature(), first); // not yet a minute
    QVERIFY(e2e.runUntil([&] { return camera.targetTemperature() != first; }, 10000));
    const double second = camera.targetTemperature();
    QVERIFY2(std::abs(second - (timer.currentTemperature() - 5)) <= 1.0,
             qPrintable(QString("%1 %2").arg(second).arg(timer.currentTemperature())));
    QVERIFY(e2e.runUntil([&] { return !timer.slowCooling(); }, 20000));
    QCOMPARE(camera.targetTemperature(), -10.0);

    // Without a ramp the target is set at once.
    QVERIFY(e2e.press("pushButton_69"));
    QVERIFY(!camera.coolerOn());
    settings.slowC = 0;
    settings.temp = -5;
    QVERIFY(e2e.press("pushButton_30"));
    QCOMPARE(camera.targetTemperature(), -5.0);
    QVERIFY(!timer.slowCooling());

    // Slow warming steps the target up, then switches off once the sensor stops warming.
    settings.slowW = 4;
    QVERIFY(e2e.press("pushButton_31"));
    QVERIFY(timer.slowWarming());
    QVERIFY(camera.targetTemperature() > -5.0);
    QVERIFY(e2e.runUntil([&] { return !camera.coolerOn(); }, 30000));
    QVERIFY(!timer.slowWarming());

    // Without a warming step OFF switches the cooler off at once.
    QVERIFY(e2e.press("pushButton_30"));
    QVERIFY(camera.coolerOn());
    settings.slowW = 0;
    QVERIFY(e2e.press("pushButton_31"));
    QVERIFY(!camera.coolerOn());
}

void TestCapture::coolingPanelFollowsTheSensor_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("mode");
    QTest::newRow("live view") << "pushButton_7" << 1;
    QTest::newRow("series") << "pushButton_6" << 2;
    QTest::newRow("playback") << "pushButton_32" << 3;
}

void TestCapture::coolingPanelFollowsTheSensor() {
    QFETCH(QString, button);
    QFETCH(int, mode);
    E2eProgram::Options options;
    options.clockScale = 60;
    E2eProgram e2e(options);
    shortSeries(e2e.settings(), 1, 50, 0);
    e2e.settings().temp = -10;
    QVERIFY(e2e.press("pushButton_30"));
    QVERIFY(e2e.press(qPrintable(button)));
    QCOMPARE(e2e.window().mode(), mode);
    const TimerThread& timer = e2e.program().timer();
    const int before = timer.currentTemperature();
    const auto shown = [&] {
        return e2e.labelText("labelCoolerTemperature") ==
               QString::number(timer.currentTemperature()) + QStringLiteral("℃");
    };
    QVERIFY2(
        e2e.runUntil([&] { return timer.currentTemperature() < before - 2 && shown(); }, 20000),
        qPrintable(e2e.labelText("labelCoolerTemperature")));
}

void TestCapture::liveView() {
    E2eProgram e2e;
    int shown = 0;
    ImageDisplay& display = e2e.program().display();
    const auto present = display.present;
    display.present = [&](const QImage& image) {
        ++shown;
        if (present)
            present(image);
    };
    QVERIFY(e2e.press("pushButton_7"));
    QCOMPARE(e2e.window().mode(), 1);
    QCOMPARE(e2e.state().captureState.load(), 1);
    QVERIFY(e2e.runUntil([&] { return shown >= 5; }, 20000));
    // The large sensor runs binned: a quarter of its pixels.
    QVERIFY(e2e.program().capture().liveViewBinned());
    const CameraDevice& camera = *e2e.state().camera;
    QCOMPARE(e2e.camera().frameWidth(), camera.width / 2);
    QCOMPARE(e2e.camera().frameHeight(), camera.height / 2);
    QCOMPARE(display.view().viewWidth, camera.width / 2);
    QVERIFY(e2e.log.contains("Pass1"));
    // The brightness offset lifts every byte of the live frame: the dark sky shows grey.
    QVERIFY(e2e.press("pushButton_83")); // +10, five times
    for (int i = 0; i < 4; ++i)
        QVERIFY(e2e.press("pushButton_83"));
    QCOMPARE(e2e.settings().liveBright, 50);
    const int before = shown;
    QVERIFY(e2e.runUntil([&] { return shown >= before + 2; }, 20000));
    const cv::Vec3b sky = display.canvas().at<cv::Vec3b>(320, 600);
    QVERIFY2(sky[0] >= 50 && sky[1] >= 50 && sky[2] >= 50,
             qPrintable(QString("%1 %2 %3").arg(sky[0]).arg(sky[1]).arg(sky[2])));
    saveScreenshot(&e2e.window(), "LiveView");
    QVERIFY(e2e.press("pushButton_7"));
    QCOMPARE(e2e.state().captureState.load(), 0);
    QVERIFY(e2e.log.contains("Pass2"));
    QVERIFY(!e2e.camera().isVideoRunning());
}

void TestCapture::infoPanel() {
    E2eProgram e2e;
    SettingsRecord& settings = e2e.settings();
    const QRegularExpression date("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$");

    // Live view: the live frame's own data, never the form's placeholders.
    QVERIFY(e2e.press("pushButton_7"));
    QVERIFY(e2e.press("pushButton_34"));
    for (int i = 0; i < 4; ++i)
        QVERIFY(e2e.press("pushButton_5")); // the live exposure 1/4 down to 1/60
    const QString liveGain = QString("感度:%1").arg(settings.lgain);
    const auto liveShown = [&] { return e2e.labelText("labelInfoGain") == liveGain; };
    QVERIFY(e2e.runUntil(liveShown, 10000));
    QCOMPARE(e2e.labelText("labelInfoExposure"), QStringLiteral("露出:1/60s"));
    QCOMPARE(e2e.labelText("labelInfoDarked"), QStringLiteral("ダーク:未"));
    QCOMPARE(e2e.labelText("labelInfoFlated"), QStringLiteral("フラット:未"));
    QVERIFY2(date.match(e2e.labelText("labelInfoDate")).hasMatch(),
             qPrintable(e2e.labelText("labelInfoDate")));
    saveScreenshot(&e2e.window(), "InfoPanelLive");
    QVERIFY(e2e.press("pushButton_7"));

    // A frame: its preview and its playback show when it was taken, as its file keeps it.
    shortSeries(settings, 1, 5, 0);
    settings.gain = 12;
    const QDateTime pressed = toSecond(Clock::currentDateTime());
    QVERIFY(e2e.press("pushButton_6"));
    const QDateTime exposing = Clock::currentDateTime();
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 3; }));
    QVERIFY(e2e.runUntil([&] { return e2e.program().dataFolder().count() == 1; }));
    const QDateTime taken = dataOf(e2e.dataPath("M00001.tif")).capturedAt();
    QVERIFY2(taken >= pressed && taken <= exposing, qPrintable(taken.toString()));
    const QString preview = e2e.labelText("labelInfoDate");
    QCOMPARE(preview, infoPanelDate(taken));
    QCOMPARE(e2e.labelText("labelInfoGain"), QStringLiteral("感度:12"));
    saveScreenshot(&e2e.window(), "InfoPanelPreview");
    QVERIFY(e2e.press("pushButton_32")); // idle, then playback
    QVERIFY(e2e.press("pushButton_32"));
    QCOMPARE(e2e.labelText("labelFileName"), QString("M00001"));
    QCOMPARE(e2e.labelText("labelInfoDate"), preview);

    // Live view again: the live data, not the file's.
    QVERIFY(e2e.press("pushButton_7"));
    QVERIFY(e2e.runUntil(liveShown, 10000));
    QVERIFY(e2e.labelText("labelInfoDate") != preview);
}

void TestCapture::playback() {
    E2eProgram::Options options;
    options.clockScale = 40;
    E2eProgram e2e(options);
    SettingsRecord& settings = e2e.settings();
    shortSeries(settings, 3, 30, 0);
    settings.gain = 25;
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return e2e.program().dataFolder().count() == 3; }));
    QVERIFY(e2e.press("pushButton_32")); // back to idle, then play the folder back
    QVERIFY(e2e.press("pushButton_32"));
    QCOMPARE(e2e.window().mode(), 3);
    QCOMPARE(e2e.labelText("labelFileName"), QString("M00003"));

    // Browsing wraps at both ends.
    QVERIFY(e2e.press("pushButton_37"));
    QCOMPARE(e2e.labelText("labelFileName"), QString("M00001"));
    QVERIFY(e2e.press("pushButton_36"));
    QCOMPARE(e2e.labelText("labelFileName"), QString("M00003"));
    QVERIFY(e2e.press("pushButton_36"));
    QCOMPARE(e2e.labelText("labelFileName"), QString("M00002"));

    // The info panel shows the file's shooting data, the histogram comes with it.
    QVERIFY(e2e.press("pushButton_34"));
    QVERIFY(e2e.window().findChild<QWidget*>("groupBoxInfo")->isVisible());
    QCOMPARE(e2e.labelText("labelInfoDate"),
             infoPanelDate(dataOf(e2e.dataPath("M00002.tif")).capturedAt()));
    QCOMPARE(e2e.labelText("labelInfoGain"), QStringLiteral("感度:25"));
    QCOMPARE(e2e.labelText("labelInfoExposure"), QStringLiteral("露出:30s"));
    QCOMPARE(e2e.labelText("labelInfoDarked"), QStringLiteral("ダーク:未"));
    const cv::Mat& canvas = e2e.program().display().canvas();
    const cv::Vec3b axis = canvas.at<cv::Vec3b>(320 + 50, 600 + 200); // the green baseline
    QVERIFY2(axis[1] > 200 && axis[2] < 100,
             qPrintable(QString("%1 %2 %3").arg(axis[0]).arg(axis[1]).arg(axis[2])));
    saveScreenshot(&e2e.window(), "PlaybackInfo");

    // Zoom brings the navigator; rotation turns the picture to portrait.
    QVERIFY(e2e.press("pushButton_33"));
    QCOMPARE(e2e.program().display().view().zoom, 2);
    QCOMPARE(canvas.at<cv::Vec3b>(630, 1090), cv::Vec3b(255, 255, 255));
    saveScreenshot(&e2e.window(), "PlaybackZoom");
    QVERIFY(e2e.press("pushButton_35"));
    QCOMPARE(e2e.program().display().view().zoom, 1);
    QVERIFY(e2e.press("pushButton_74"));
    const ViewState& view = e2e.program().display().view();
    QCOMPARE(view.displayRotation, 1);
    QCOMPARE(view.viewWidth, e2e.state().camera->height);
    QCOMPARE(e2e.labelText("labelFileName"), QString("M00002"));
    saveScreenshot(&e2e.window(), "PlaybackRotated");

    // The full-screen view of the current file, closed by a touch.
    QVERIFY(e2e.press("pushButton_77"));
    QVERIFY(e2e.state().evfOpen);
    QWidget* evf = QApplication::topLevelWidgets().value(0);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->findChild<QLabel*>("evfLabel"))
            evf = top;
    }
    QLabel* evfLabel = evf->findChild<QLabel*>("evfLabel");
    QVERIFY(evfLabel && evfLabel->isVisible());
    saveScreenshot(evf, "PlaybackFullScreen");
    QTest::mouseClick(evfLabel, Qt::LeftButton);
    QVERIFY(!e2e.state().evfOpen);

    // Deleting takes the colour twin with it.
    QVERIFY(e2e.press("pushButton_73"));
    QVERIFY(!QFile::exists(e2e.dataPath("M00002.tif")));
    QVERIFY(!QFile::exists(e2e.dataPath("C00002.tif")));
    QCOMPARE(e2e.program().dataFolder().count(), 2);
}

void TestCapture::solveShot() {
    E2eProgram::Options options;
    options.cameras = "USB";
    options.digitalCameraMode = true;
    E2eProgram e2e(options);
    int solves = 0, progressClosed = 0;
    e2e.program().capture().hooks.startPlateSolve = [&] { ++solves; };
    e2e.program().capture().hooks.closeSolveProgress = [&] { ++progressClosed; };
    e2e.settings().plateExp = 3;

    // The USB camera's third frame, with two more added to it.
    e2e.state().solveShot = true;
    QVERIFY(e2e.program().capture().startSolveShot());
    QVERIFY(e2e.runUntil([&] { return solves == 1; }));
    QCOMPARE(e2e.state().captureState.load(), 0); // digital-camera mode ends idle
    QCOMPARE(e2e.log.lines().filter("Add frame").size(), 2);
    QCOMPARE(e2e.labelText("labelFileName"), QString("solve.jpg"));
    const cv::Mat jpeg = cv::imread(e2e.dataPath("solve.jpg").toStdString());
    QCOMPARE(jpeg.cols, 1920);
    QCOMPARE(jpeg.rows, 1080);
    QVERIFY(e2e.messages.isEmpty());
    QVERIFY(e2e.dataFiles() == QStringList{"solve.jpg"}); // no TIFF for a solve shot

    // A camera that delivers nothing: the shot fails and says so.
    e2e.camera().setSilent(true);
    e2e.state().solveShot = true;
    QVERIFY(e2e.program().capture().startSolveShot());
    QVERIFY(e2e.runUntil([&] { return !e2e.messages.isEmpty(); }));
    QCOMPARE(e2e.messages, QStringList{QStringLiteral("撮影失敗　もう一度試してください")});
    QCOMPARE(progressClosed, 1);
    QVERIFY(!e2e.state().solveShot);
    QCOMPARE(solves, 1);
}

void TestCapture::drives() {
    E2eProgram e2e;
    auto* driveC = e2e.window().findChild<QPushButton*>("pushButton_39");
    auto* driveD = e2e.window().findChild<QPushButton*>("pushButton_40");
    QVERIFY(driveC->isVisible() && !driveD->isVisible());
    QCOMPARE(driveC->text(), QString("C"));
    QVERIFY(driveC->styleSheet().contains("red"));

    // A disk plugged in: found on the next scan, and chosen for the data.
    QVERIFY(QDir().mkpath(e2e.driveRoot() + "/D"));
    QVERIFY(e2e.press("pushButton_45"));
    QVERIFY(driveD->isVisible());
    QCOMPARE(driveD->text(), QString("D"));
    QVERIFY(driveD->styleSheet().contains("white"));
    QVERIFY(e2e.press("pushButton_40"));
    QCOMPARE(e2e.settings().drive, int('D'));
    QVERIFY(driveD->styleSheet().contains("red") && driveC->styleSheet().contains("white"));
    shortSeries(e2e.settings(), 1, 1, 0);
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return e2e.program().dataFolder().count() == 1; }));
    QVERIFY(QFile::exists(e2e.driveRoot() + "/D/VesperixData/M00001.tif"));
    QVERIFY(e2e.dataFiles().isEmpty()); // nothing on C
}

void TestCapture::hooks() {
    E2eProgram e2e;
    CaptureHooks& hooks = e2e.program().capture().hooks;
    QStringList composite;
    int dithers = 0;
    bool guiderBusy = true;
    hooks.autoguiderOpen = [] { return true; };
    hooks.isGuiderBusy = [&] { return guiderBusy; };
    hooks.startDither = [&] { ++dithers; };
    hooks.compositeExists = [&] { return !composite.isEmpty(); };
    hooks.compositeLoadFirst = [&](const QString& path) {
        composite << "first " + path;
        return true;
    };
    hooks.compositeAddFrame = [&](const QString& path) { composite << "add " + path; };
    e2e.settings().dither = 1;
    shortSeries(e2e.settings(), 2, 1, 1);
    QVERIFY(e2e.press("pushButton_81")); // automatic compositing on

    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 4; }));
    QCOMPARE(dithers, 1);
    // The first frame was written before the composite window got it.
    QCOMPARE(composite, QStringList{"first C:\\VesperixData\\M00001.tif"});
    // The interval is over, but a busy guider holds the next exposure back.
    e2e.runFor(3000);
    QCOMPARE(e2e.state().captureState.load(), 4);
    guiderBusy = false;
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 3; }));
    QCOMPARE(composite, (QStringList{"first C:\\VesperixData\\M00001.tif",
                                     "add C:\\VesperixData\\M00002.tif"}));
    QCOMPARE(dithers, 1); // none after the last frame

    // Live view waits for the autoguider to be closed.
    QVERIFY(e2e.press("pushButton_32"));
    QVERIFY(e2e.press("pushButton_7"));
    QCOMPARE(e2e.messages, QStringList{QStringLiteral("オートガイダーを閉じてください")});
    QCOMPARE(e2e.state().captureState.load(), 0);
}

void TestCapture::cameraStopsAnswering() {
    E2eProgram::Options options;
    options.clockScale = 30;
    E2eProgram e2e(options);
    shortSeries(e2e.settings(), 3, 2, 1);
    QVERIFY(e2e.press("pushButton_6"));
    e2e.camera().setSilent(true);
    // The window answers all along: a press on the info button still toggles the panel.
    e2e.runFor(1500);
    QVERIFY(e2e.press("pushButton_34"));
    QCOMPARE(e2e.state().infoPanelOn, 1);
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 0; }, 20000));
    QCOMPARE(e2e.messages, QStringList{QStringLiteral("撮影失敗　もう一度試してください")});
    QVERIFY(e2e.log.lines().filter("Exposure timeout").size() == 1);
    QCOMPARE(e2e.window().mode(), 0);
    QVERIFY(e2e.dataFiles().isEmpty());
}

void TestCapture::failedRead_data() {
    QTest::addColumn<QString>("startButton");
    QTest::addColumn<int>("framesBefore"); // frames read before the read that fails
    QTest::addColumn<QStringList>("files");
    QTest::newRow("first light frame")
        << "pushButton_6" << 0
        << QStringList{"C00001.tif", "C00002.tif", "M00001.tif", "M00002.tif"};
    QTest::newRow("last dark frame") << "pushButton_33" << 2 << QStringList{"D00001_P20.tif"};
}

void TestCapture::failedRead() {
    QFETCH(QString, startButton);
    QFETCH(int, framesBefore);
    QFETCH(QStringList, files);
    E2eProgram e2e;
    shortSeries(e2e.settings(), 3, 1, 0);
    if (framesBefore == 0)
        e2e.camera().failNextRead();
    QVERIFY(e2e.press(qPrintable(startButton)));
    if (framesBefore > 0) {
        QVERIFY(e2e.runUntil([&] { return e2e.state().accumulatedCount == framesBefore; }));
        e2e.camera().failNextRead();
    }
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 3; }));
    QVERIFY(e2e.runUntil([&] { return e2e.dataFiles().size() == files.size(); }));
    e2e.runFor(2000);
    // No file of the unread buffer; the user is told; the frames that were read are kept.
    QCOMPARE(e2e.dataFiles(), files);
    QCOMPARE(e2e.messages, QStringList{QStringLiteral("撮影失敗　もう一度試してください")});
    QCOMPARE(e2e.log.lines().filter("Frame not saved").size(), 1);
    if (startButton == "pushButton_33") {
        QCOMPARE(dataOf(e2e.dataPath(files[0])).frameCount, 2);
        QCOMPARE(e2e.state().darkCaptureMode, 0);
    }
}

void TestCapture::diskFills() {
    E2eProgram e2e;
    shortSeries(e2e.settings(), 3, 1, 1);
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return e2e.program().dataFolder().count() == 1; }));
    const QByteArray first = [&] {
        QFile file(e2e.dataPath("M00001.tif"));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    {
        FileSizeLimit full(1 << 20); // the disk fills: no file can grow past 1 MB
        QVERIFY(e2e.runUntil([&] { return !e2e.messages.isEmpty(); }));
    }
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 0; }, 10000));
    QCOMPARE(e2e.messages, QStringList{QStringLiteral("撮影失敗　もう一度試してください")});
    QVERIFY(e2e.log.lines().filter("was not written").size() == 1);
    QCOMPARE(e2e.window().mode(), 0);
    // What was written stays whole; nothing half-written is left.
    QCOMPARE(e2e.dataFiles(), (QStringList{"C00001.tif", "M00001.tif"}));
    QFile file(e2e.dataPath("M00001.tif"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), first);
    QCOMPARE(e2e.program().dataFolder().count(), 1);
}

QTEST_MAIN(TestCapture)
#include "tst_capture.moc"
