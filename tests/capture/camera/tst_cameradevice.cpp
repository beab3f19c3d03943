#include "CameraDevice.h"
#include "CameraEntryList.h"
#include "CameraEnumeration.h"
#include "CameraLabel.h"
#include "CameraLibraries.h"
#include "Clock.h"
#include "LogRecorder.h"
#include "SettingsRecord.h"
#include "SimCamera.h"
#include "SimObservatory.h"
#include "TestDrives.h"
#include "TestObservatory.h"
#include "UserPrompt.h"

#include <QMutex>
#include <QtTest>
#include <atomic>
#include <memory>
#include <opencv2/core.hpp>
#include <thread>

namespace {

QString binDir() {
    return TestObservatory::programFolder();
}

struct Camera {
    Camera()
        : device(mutex, binDir(), settings) {
        settings.setDefaults();
    }
    QMutex mutex;
    SettingsRecord settings;
    CameraDevice device;
};

// Waits on the project's clock, run fast, until the camera has its frame.
bool waitUntilExposed(CameraDevice& camera) {
    QDeadlineTimer deadline(20000);
    while (camera.isExposing()) {
        if (deadline.hasExpired())
            return false;
        Clock::sleepMs(5);
    }
    return true;
}

// A bright star where the sky puts it: a pixel of the small box around that place is bright,
// the frame as a whole dark.
bool starStandsOut(const cv::Mat& frame, cv::Point2d at, double bright) {
    const cv::Rect box(int(at.x) - 2, int(at.y) - 2, 5, 5);
    cv::Mat sorted;
    frame.reshape(1, 1).copyTo(sorted);
    cv::sort(sorted, sorted, cv::SORT_ASCENDING);
    const double median = frame.depth() == CV_8U
                              ? sorted.at<std::uint8_t>(int(sorted.total() / 2))
                              : sorted.at<std::uint16_t>(int(sorted.total() / 2));
    double peak = 0;
    cv::minMaxLoc(frame(box & cv::Rect(0, 0, frame.cols, frame.rows)), nullptr, &peak);
    return peak > bright && median < bright / 4;
}

// One binned 8-bit live frame at exposure step 8; empty when the camera delivered none.
cv::Mat liveFrameOf(CameraDevice& device) {
    cv::Mat frame(device.height / 2, device.width / 2, CV_8UC1);
    device.setFormat(frame.cols, frame.rows, 2, 8);
    device.setExposureIndex(8);
    device.startVideo();
    const bool delivered = device.getVideoData(frame.data, long(frame.total()));
    device.stopVideo();
    return delivered ? frame : cv::Mat();
}

// Where a star falls on the camera's full sensor, as the simulated sky projects it.
cv::Point2d projected(SimObservatory& sim, const SimCameraModel& model, double ra, double dec) {
    cv::Point2d at;
    SkyRenderer::project(model.sensor(), sim.optics(), ra, dec, &at.x, &at.y);
    return at;
}

} // namespace

class TestCameraDevice : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Clock::setScale(50); }
    void gainStepsSpanTheCamerasRange();
    void playerOneRestartsLiveViewAroundChanges();
    void exposureIndexTable();
    void opensEveryVendorWithItsGeometry_data();
    void opensEveryVendorWithItsGeometry();
    void pixelSizeFallsBackToTheSetting();
    void listHoldsTwentyCamerasAndSkipsTheExcluded();
    void svbonyIsListedWithAnOpenCamera();
    void dslrIsListedLast();
    void snapAndVideoFramesFromEveryVendor_data();
    void snapAndVideoFramesFromEveryVendor();
    void svbonySnapGoesThroughItsReadThread();
    void stoppedSvbonySnapReleasesItsReader();
    void lensCapFromTheEnvironment();
    void coolerFollowsItsTargetWithALag();
    void usbCameraIsFoundThroughTheHelper();
};

void TestCameraDevice::gainStepsSpanTheCamerasRange() {
    TestObservatory sky({"ASI294MC"});
    Camera camera;
    camera.device.openAsi(0);
    QCOMPARE(camera.device.gainMax, 570);
    sky.clearCalls();
    camera.device.setGain(25);
    camera.device.setGain(0);
    camera.device.setGain(12);
    QCOMPARE(sky.calls(), (QStringList{"ASISetControlValue(0, 570)", "ASISetControlValue(0, 0)",
                                       "ASISetControlValue(0, 273)"}));
}

void TestCameraDevice::playerOneRestartsLiveViewAroundChanges() {
    TestObservatory sky({"POSEIDONC"});
    Camera camera;
    camera.device.openPlayerOne(0);
    QCOMPARE(camera.device.gainMax, 600);

    sky.clearCalls();
    camera.device.setGain(25);
    camera.device.setExposureIndex(3);
    QCOMPARE(sky.calls(), (QStringList{"POAGetCameraState -> 1", "POASetConfig(1, 600)",
                                       "POAGetCameraState -> 1", "POASetConfig(0, 8000)"}));

    camera.device.startVideo();
    sky.clearCalls();
    camera.device.setGain(5);
    QCOMPARE(sky.calls(), (QStringList{"POAGetCameraState -> 2", "POAStopExposure",
                                       "POASetConfig(1, 120)", "POAStartExposure(video)"}));
    QCOMPARE(camera.device.exposureUs, 8000);
    QCOMPARE(camera.device.frameWaitMs, 8);
}

void TestCameraDevice::exposureIndexTable() {
    TestObservatory sky({"USB"});
    Camera camera;
    camera.device.openUvc(0);
    QVERIFY(camera.device.uvc->isOpened());
    camera.device.setExposureIndex(13);
    QCOMPARE(camera.device.uvc->get(15), 3.0);
    camera.device.setExposureIndex(0);
    QCOMPARE(camera.device.uvc->get(15), -10.0);
    QCOMPARE(camera.device.frameWaitMs, 1);
    camera.device.setGain(25);
    QCOMPARE(camera.device.uvc->get(14), 100.0);
    QCOMPARE(CameraDevice::exposureTableUs(4), 16667);
    QCOMPARE(CameraDevice::exposureTableUs(13), 8000000);
}

void TestCameraDevice::opensEveryVendorWithItsGeometry_data() {
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("vendor");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("pixelSize");
    QTest::addColumn<bool>("cooled");
    QTest::addColumn<QString>("label");
    QTest::newRow("ASI294MC") << "ASI294MC" << 1 << 4144 << 2816 << 4.63 << true
                              << "ZWO ASI294MC Pro(Color) width=4144 height=2816, bayer=0";
    QTest::newRow("ASI294MM unbinned") << "ASI294MM" << 1 << 8288 << 5632 << 2.315 << true
                                       << "ZWO ASI294MM Pro(Mono) width=8288 height=5632";
    QTest::newRow("ASI120MM") << "ASI120MM" << 1 << 1280 << 960 << 3.75 << false
                              << "ZWO ASI120MM Mini(Mono) width=1280 height=960";
    QTest::newRow("Poseidon") << "POSEIDONC" << 0 << 6240 << 4176 << 3.76 << true
                              << "Poseidon-C PRO,IMX571(Color) width=6240 height=4176, bayer=0";
    QTest::newRow("SV605CC") << "SV605CC" << 2 << 3008 << 3008 << 3.76 << true
                             << "SVBONY SV605CC(Color) width=3008 height=3008, bayer=0";
    QTest::newRow("SV305") << "SV305" << 2 << 1920 << 1072 << 2.9 << false
                           << "SVBONY SV305(Color) width=1920 height=1072, bayer=2";
}

void TestCameraDevice::opensEveryVendorWithItsGeometry() {
    QFETCH(QString, model);
    QFETCH(int, vendor);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(double, pixelSize);
    QFETCH(bool, cooled);
    QFETCH(QString, label);
    TestObservatory sky({model});
    Camera camera;
    LogRecorder log;
    CameraEntryList list;
    enumeratePlayerOne(list, -1);
    enumerateAsi(list, -1);
    enumerateSvbony(list, -1);
    QCOMPARE(list.count(), 1);
    const CameraEntry entry = list.at(0);
    QCOMPARE(entry.vendor, vendor);
    if (vendor == CameraDevice::PlayerOne)
        camera.device.openPlayerOne(entry.cameraId);
    else if (vendor == CameraDevice::Asi)
        camera.device.openAsi(entry.cameraId);
    else
        camera.device.openSvbony(entry.cameraId);
    QCOMPARE(camera.device.vendor(), vendor);
    QCOMPARE(camera.device.width, width);
    QCOMPARE(camera.device.height, height);
    QCOMPARE(camera.device.pixelSizeUm, pixelSize);
    QCOMPARE(camera.device.hasCooler, cooled);
    QVERIFY(camera.device.gainMax > 0);
    QVERIFY(log.lines().filter("failed").isEmpty());
    if (model == "SV305")
        QVERIFY(log.contains("no cooled camera"));
    QCOMPARE(cameraLabelText(camera.device, false), label);
}

void TestCameraDevice::pixelSizeFallsBackToTheSetting() {
    TestObservatory sky({"ASI294MC"});
    Camera camera;
    camera.settings.pixSize = 520;
    QTemporaryDir emptyProgramFolder;
    CameraDevice elsewhere(camera.mutex, emptyProgramFolder.path(), camera.settings);
    elsewhere.openAsi(0);
    QCOMPARE(elsewhere.pixelSizeUm, 5.2);
}

void TestCameraDevice::listHoldsTwentyCamerasAndSkipsTheExcluded() {
    {
        TestObservatory sky({});
        CameraEntryList list;
        QVERIFY(!enumeratePlayerOne(list, -1));
        enumerateAsi(list, -1);
        enumerateSvbony(list, -1);
        QCOMPARE(list.count(), 0);
    }
    QStringList many;
    for (int i = 0; i < 21; ++i)
        many << "ASI120MM";
    TestObservatory sky(many);
    LogRecorder log;
    CameraEntryList list;
    enumerateAsi(list, -1);
    QCOMPARE(list.count(), 20);
    QCOMPARE(log.lines().filter("ZWO(").size(), 20);
    QCOMPARE(log.lines().first(), QString("ZWO(0) ZWO ASI120MM Mini(Mono) width=1280 height=960"));
    CameraEntryList guideList;
    enumerateAsi(guideList, 0);
    QCOMPARE(guideList.count(), 20);
    QCOMPARE(guideList.at(0).cameraId, 1);
}

void TestCameraDevice::svbonyIsListedWithAnOpenCamera() {
    TestObservatory sky({"SV605CC"});
    CameraEntryList list;
    enumerateSvbony(list, -1);
    QCOMPARE(list.count(), 1);
    QCOMPARE(list.at(0).cameraId, 1);
    QCOMPARE(list.at(0).width, 3008);
    QCOMPARE(list.at(0).isColor, 1);
    QVERIFY(sky.calls().contains("SVBOpenCamera(1)"));
    QVERIFY(sky.calls().contains("SVBCloseCamera(1)"));
    QVERIFY(!sky.sim().cameras().at(0)->isOpen());
}

void TestCameraDevice::dslrIsListedLast() {
    TestObservatory sky({"EOS6D"});
    LogRecorder log;
    CameraEntryList list;
    enumerateCanon(list, -1);
    QCOMPARE(list.count(), 1);
    QCOMPARE(list.at(0).name, QString("Canon EOS 6D"));
    QCOMPARE(list.at(0).width, 5472);
    QVERIFY(log.contains("Canon Camera number: 1"));
    QVERIFY(log.contains("CANON(0) Canon EOS 6D(Color) width=5472 height=3648"));
}

void TestCameraDevice::snapAndVideoFramesFromEveryVendor_data() {
    QTest::addColumn<QString>("model");
    QTest::newRow("Player One") << "POSEIDONC";
    QTest::newRow("ZWO") << "ASI294MC";
    QTest::newRow("SVBONY") << "SV605CC";
}

void TestCameraDevice::snapAndVideoFramesFromEveryVendor() {
    QFETCH(QString, model);
    TestObservatory sky({model});
    const double betelgeuseRa = 88.7929, betelgeuseDec = 7.4071;
    sky.sim().optics().pointingRa = betelgeuseRa + 0.1;
    sky.sim().optics().pointingDec = betelgeuseDec - 0.05;
    const cv::Point2d star =
        projected(sky.sim(), sky.sim().cameras().at(0)->model, betelgeuseRa, betelgeuseDec);
    Camera camera;
    CameraDevice& device = camera.device;
    CameraEntryList list;
    enumeratePlayerOne(list, -1);
    enumerateAsi(list, -1);
    enumerateSvbony(list, -1);
    const CameraEntry entry = list.at(0);
    if (entry.vendor == CameraDevice::PlayerOne)
        device.openPlayerOne(entry.cameraId);
    else if (entry.vendor == CameraDevice::Asi)
        device.openAsi(entry.cameraId);
    else
        device.openSvbony(entry.cameraId);

    // The star, binned, where the sky puts it, far above the background.
    const cv::Mat liveFrame = liveFrameOf(device);
    QVERIFY(!liveFrame.empty());
    QVERIFY2(starStandsOut(liveFrame, star / 2, 100), qPrintable(model));

    if (entry.vendor == CameraDevice::Svbony)
        return; // its long exposure is read by its own thread, tested below
    device.setFormat(device.width, device.height, 1, 16);
    std::vector<std::uint8_t> raw(size_t(device.width) * size_t(device.height) * 2);
    device.setExposureUs(20000000); // 20 s on the fast clock: long enough to look at it
    device.startSnap();
    QVERIFY(device.isExposing());
    QVERIFY(!device.getSnapData(raw.data(), long(raw.size())));
    QVERIFY(waitUntilExposed(device));
    QVERIFY(device.getSnapData(raw.data(), long(raw.size())));
    const cv::Mat frame(device.height, device.width, CV_16UC1, raw.data());
    QVERIFY2(starStandsOut(frame, star, 20000), qPrintable(model));
}

void TestCameraDevice::svbonySnapGoesThroughItsReadThread() {
    TestObservatory sky({"SV605CC"});
    Camera camera;
    CameraDevice& device = camera.device;
    device.openSvbony(1);
    device.setFormat(device.width, device.height, 1, 16);
    device.setExposureUs(200000);
    sky.clearCalls();
    device.startSnap();
    QCOMPARE(sky.calls(),
             (QStringList{"SVBSetCameraMode(1)", "SVBStartVideoCapture", "SVBSendSoftTrigger"}));
    QVERIFY(device.isExposing());
    std::vector<std::uint8_t> raw(size_t(device.width) * size_t(device.height) * 2);
    QVERIFY(!device.getSnapData(raw.data(), long(raw.size())));
    std::thread reader([&] { device.readSvbonySnap(); });
    reader.join();
    QVERIFY(!device.isExposing());
    QVERIFY(device.getSnapData(raw.data(), long(raw.size())));
    const cv::Mat frame(device.height, device.width, CV_16UC1, raw.data());
    QVERIFY(cv::mean(frame)[0] > 0);
}

void TestCameraDevice::stoppedSvbonySnapReleasesItsReader() {
    TestObservatory sky({"SV605CC"});
    Camera camera;
    CameraDevice& device = camera.device;
    device.openSvbony(1);
    device.setFormat(device.width, device.height, 1, 16);
    device.setExposureUs(600000000); // ten minutes that will not be waited for
    device.startSnap();
    QVERIFY(device.isExposing());
    std::atomic<bool> returned{false};
    bool delivered = true;
    std::thread reader([&] {
        delivered = device.readSvbonySnap();
        returned = true;
    });
    QTest::qWait(50);
    device.stopSnap();
    QTRY_VERIFY_WITH_TIMEOUT(returned, 5000);
    reader.join();
    QVERIFY(!delivered);
    QVERIFY(!device.isExposing()); // nothing left pending for the reader to wait on
}

void TestCameraDevice::lensCapFromTheEnvironment() {
    qputenv("VESPERIX_SIM_SCENE", "cap");
    TestObservatory sky({"ASI294MC"});
    qunsetenv("VESPERIX_SIM_SCENE");
    const double betelgeuseRa = 88.7929, betelgeuseDec = 7.4071;
    sky.sim().optics().pointingRa = betelgeuseRa;
    sky.sim().optics().pointingDec = betelgeuseDec;
    const cv::Point2d star =
        projected(sky.sim(), sky.sim().cameras().at(0)->model, betelgeuseRa, betelgeuseDec);
    Camera camera;
    CameraDevice& device = camera.device;
    device.openAsi(0);
    const cv::Mat capped = liveFrameOf(device);
    QVERIFY(!capped.empty());
    QVERIFY(!starStandsOut(capped, star / 2, 100));
    sky.sim().cameras().at(0)->setScene(SimScene::Sky); // the same star with the cap off
    const cv::Mat open = liveFrameOf(device);
    QVERIFY(!open.empty());
    QVERIFY(starStandsOut(open, star / 2, 100));
}

void TestCameraDevice::coolerFollowsItsTargetWithALag() {
    TestObservatory sky({"ASI294MC"});
    Camera camera;
    CameraDevice& device = camera.device;
    device.openAsi(0);
    QVERIFY(device.hasCooler);
    const int start = device.getTemperature();
    QCOMPARE(start, 20);
    device.setTargetTemperature(-10);
    device.coolerOn();
    QVERIFY(sky.calls().contains("ASISetControlValue(17, 1)"));
    Clock::sleepMs(5000);
    const int soon = device.getTemperature();
    QVERIFY2(soon < start && soon > -10, qPrintable(QString::number(soon)));
    QTRY_VERIFY_WITH_TIMEOUT(device.getTemperature() <= -9, 20000);
    device.coolerOff();
    QTRY_VERIFY_WITH_TIMEOUT(device.getTemperature() >= 19, 20000);
}

void TestCameraDevice::usbCameraIsFoundThroughTheHelper() {
    TestDrives drives;
    QStringList messages;
    UserPrompt::setMessageHandler([&](const QString& text) { messages << text; });
    // The simulated USB video camera, listed by the real helper program.
    qputenv("VESPERIX_SIM", "1");
    qputenv("VESPERIX_SIM_CAMERAS", "USB");
    CameraEntryList list;
    enumerateUvc(list, -1, binDir());
    QCOMPARE(drives.readSettingsFile("camera.txt"), QByteArray("USB Camera\n"));
    QCOMPARE(list.count(), 1);
    QCOMPARE(CameraEntryList::rowText(list.at(0)),
             QString("ORLENT(0) UVC Camera(Color) width=1920 height=1080"));

    // A real machine's devices in OpenCV's index order; the metadata node keeps its index.
    qunsetenv("VESPERIX_SIM");
    QTemporaryDir sysfs;
    const QList<QPair<QString, QByteArray>> nodes = {{"video0", "Integrated Webcam\n"},
                                                     {"video1", "Integrated Webcam\n"},
                                                     {"video3", "USB Camera: USB Camera\n"}};
    for (const auto& node : nodes) {
        QDir().mkpath(sysfs.path() + '/' + node.first);
        QFile name(sysfs.path() + '/' + node.first + "/name");
        QVERIFY(name.open(QIODevice::WriteOnly));
        name.write(node.second);
    }
    qputenv("VESPERIX_SYSFS_VIDEO", sysfs.path().toLocal8Bit());
    list.clear();
    enumerateUvc(list, -1, binDir());
    QCOMPARE(drives.readSettingsFile("camera.txt"),
             QByteArray("Integrated Webcam\nIntegrated Webcam\n-\nUSB Camera: USB Camera\n"));
    QCOMPARE(list.count(), 1);
    QCOMPARE(list.at(0).cameraId, 3);
    QVERIFY(messages.isEmpty());

    // No helper in the program folder.
    QTemporaryDir emptyFolder;
    enumerateUvc(list, -1, emptyFolder.path());
    QCOMPARE(messages, QStringList{QStringLiteral("spawnlエラー")});
    qunsetenv("VESPERIX_SYSFS_VIDEO");
    qunsetenv("VESPERIX_SIM_CAMERAS");
    UserPrompt::setMessageHandler(nullptr);
}

QTEST_GUILESS_MAIN(TestCameraDevice)
#include "tst_cameradevice.moc"
