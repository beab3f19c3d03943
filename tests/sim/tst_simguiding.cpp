// The simulated observatory as guiding sees it: the guide scope's geometry against the truth
// of the tracking error, frames at the mean pointing of their exposure, the seeded tip-tilt,
// the mount's errors, and clouds and a silent guide camera.
#include "Clock.h"
#include "SimCamera.h"
#include "SimEquatorialMount.h"
#include "SimMountController.h"
#include "SimMountCore.h"
#include "SimObservatory.h"

#include <QtTest>
#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <thread>
#include <vector>

namespace {

const double betelgeuseRa = 88.7929, betelgeuseDec = 7.4071;
// 206.265 * 3.75 um * 2 / 400 mm: the guide camera's binned pixel on the sky.
const double arcsecPerGuidePixel = 3.8675;

SimObservatory observatory(const QVector<SimCameraModel>& cameras) {
    return SimObservatory(qEnvironmentVariable("VESPERIX_BIN_DIR"), cameras);
}

const SimCameraModel& guideCamera = *SimCameraModel::withKey("ASI120MM");
const SimCameraModel& apollo = *SimCameraModel::withKey("APOLLOM");

// The light-weighted centre of the brightest star of a 16-bit frame, in frame pixels.
QPointF brightestStar(const cv::Mat& frame) {
    cv::Point peak;
    cv::minMaxLoc(frame, nullptr, nullptr, nullptr, &peak);
    const int r = 6;
    const cv::Rect box = cv::Rect(peak.x - r, peak.y - r, 2 * r + 1, 2 * r + 1) &
                         cv::Rect(0, 0, frame.cols, frame.rows);
    cv::Mat light;
    frame(box).convertTo(light, CV_64F);
    std::vector<double> values(light.begin<double>(), light.end<double>());
    std::nth_element(values.begin(), values.begin() + long(values.size() / 4), values.end());
    light = cv::max(light - values[values.size() / 4], 0.0);
    const cv::Moments m = cv::moments(light);
    return QPointF(box.x + m.m10 / m.m00, box.y + m.m01 / m.m00);
}

// Where the brightest star falls on a short binned frame of the guide camera at `clockMs`.
QPointF guideStarAt(const SimObservatory& sim, std::int64_t clockMs) {
    SimExposure exposure;
    exposure.seconds = 0.01;
    exposure.bin = 2;
    return brightestStar(sim.renderer().render(sim.guideCamera()->model.sensor(),
                                               sim.guideOpticsAt(clockMs), exposure));
}

double length(const QPointF& p) {
    return std::hypot(p.x(), p.y());
}

// Whether the next video frame has a star well above its background; false without a frame.
bool showsStars(SimCamera& camera, bool* read = nullptr) {
    cv::Mat frame(camera.frameHeight(), camera.frameWidth(), CV_16UC1);
    const bool got = camera.readVideo(frame.data, long(frame.total() * frame.elemSize()), 5000);
    if (read)
        *read = got;
    if (!got)
        return false;
    cv::Mat sorted = frame.reshape(1, 1).clone();
    cv::sort(sorted, sorted, cv::SORT_ASCENDING);
    const double median = sorted.at<std::uint16_t>(int(sorted.total() / 2));
    double peak = 0;
    cv::minMaxLoc(frame, nullptr, &peak);
    return peak - median > 200;
}

} // namespace

class TestSimGuiding : public QObject {
    Q_OBJECT
private slots:
    void guideFrameGeometry_data();
    void guideFrameGeometry();
    void framesAtTheMeanPointing();
    void tipTiltIsSeeded();
    void mountErrors_data();
    void mountErrors();
    void guideCameraFaults();
};

void TestSimGuiding::guideFrameGeometry_data() {
    QTest::addColumn<double>("rotation");
    QTest::addColumn<bool>("mirrored");
    QTest::addColumn<int>("side");
    QTest::addColumn<double>("offsetNorth"); // degrees, the guide scope from the main telescope
    // Where a star goes on the guide frame for each arcsecond the tube moves east, and north.
    QTest::addColumn<QPointF>("east");
    QTest::addColumn<QPointF>("north");
    const double c = std::cos(20 * M_PI / 180), s = std::sin(20 * M_PI / 180);
    QTest::newRow("north up") << 0.0 << false << 1 << 0.0 << QPointF(1, 0) << QPointF(0, 1);
    QTest::newRow("east up") << 90.0 << false << 1 << 0.0 << QPointF(0, 1) << QPointF(-1, 0);
    QTest::newRow("turned 20 degrees")
        << 20.0 << false << 1 << 0.0 << QPointF(c, s) << QPointF(-s, c);
    QTest::newRow("mirrored") << 0.0 << true << 1 << 0.0 << QPointF(-1, 0) << QPointF(0, 1);
    QTest::newRow("east up, mirrored")
        << 90.0 << true << 1 << 0.0 << QPointF(0, 1) << QPointF(1, 0);
    QTest::newRow("guide scope north of the main one")
        << 0.0 << false << 1 << 0.2 << QPointF(1, 0) << QPointF(0, 1);
    QTest::newRow("west of the pier, turned over")
        << 0.0 << false << 2 << 0.2 << QPointF(-1, 0) << QPointF(0, -1);
}

// The tube drifts 40" east and 25" north in a minute: the guide star moves on the rendered
// frames as the scope's turn and mirror predict, and the truth says the same.
void TestSimGuiding::guideFrameGeometry() {
    QFETCH(double, rotation);
    QFETCH(bool, mirrored);
    QFETCH(int, side);
    QFETCH(double, offsetNorth);
    QFETCH(QPointF, east);
    QFETCH(QPointF, north);
    SimObservatory sim = observatory({guideCamera});
    sim.optics().seeingFwhmArcsec = 8; // the star over a few pixels, for a sharp centre
    sim.installMountController();
    sim.setGuidingErrors(false);
    SimGuideScope scope;
    scope.rotationDeg = rotation;
    scope.mirrored = mirrored;
    scope.offsetNorthDeg = offsetNorth;
    sim.setGuideScope(scope);
    sim.guideCamera()->setFormat(640, 480, 2, true);
    SimEquatorialMount& mount = sim.mountController()->mount();

    const std::int64_t t0 = Clock::nowMs(), t1 = t0 + 60000;
    // The main telescope aimed so that the guide scope has the star in the middle.
    const double turned = side == 1 ? 1 : -1;
    mount.turnTo(betelgeuseRa, betelgeuseDec - turned * offsetNorth, side, t0);
    const double eastArcsec = 40, northArcsec = 25;
    mount.setDrift(eastArcsec / std::cos(betelgeuseDec * M_PI / 180), northArcsec, t0);

    const QPointF before = guideStarAt(sim, t0), after = guideStarAt(sim, t1);
    QVERIFY2(length(before - QPointF(319.5, 239.5)) < 0.3,
             qPrintable(QString("%1,%2").arg(before.x()).arg(before.y())));
    const QPointF moved = after - before;
    const QPointF expected = (east * eastArcsec + north * northArcsec) / arcsecPerGuidePixel;
    QVERIFY2(length(moved - expected) < 0.3,
             qPrintable(QString("%1,%2").arg(moved.x()).arg(moved.y())));

    const SimGuideError truth = sim.trackingError(t1);
    QVERIFY2(qAbs(truth.raArcsec - eastArcsec) < 0.1, qPrintable(QString::number(truth.raArcsec)));
    QVERIFY2(qAbs(truth.decArcsec - northArcsec) < 0.1,
             qPrintable(QString::number(truth.decArcsec)));
    QVERIFY2(length(QPointF(truth.x, truth.y) - moved) < 0.3,
             qPrintable(QString("%1,%2").arg(truth.x).arg(truth.y)));
}

// A Dec slew at the sidereal rate, 15.04" a second, from half way through a one-second
// exposure: the frame is pointed an eighth of a second's worth north of the start, where its
// middle or its start would show no move and its end half a second's worth.
void TestSimGuiding::framesAtTheMeanPointing() {
    SimObservatory sim = observatory({guideCamera});
    sim.installMountController();
    sim.setGuidingErrors(false);
    sim.setTipTilt(0, 1);
    SimMountCore& motors = sim.mountController()->core();
    const std::int64_t t0 = Clock::nowMs() + 1000;
    for (const char* command : {":G210", ":I26C0200", ":J2"})
        motors.take(command, t0 + 500);
    const SimOptics start = sim.guideOpticsAt(t0);
    const SimOptics exposed = sim.exposureOptics(*sim.guideCamera(), t0, t0 + 1000, 1);
    const double moved = (exposed.pointingDec - start.pointingDec) * 3600;
    QVERIFY2(qAbs(moved - 15.042 / 8) < 0.05, qPrintable(QString::number(moved)));
}

// The atmosphere shakes each frame by 0.3" per axis at a second's exposure, half as much at
// four seconds; the same seed shakes the same frames the same way.
void TestSimGuiding::tipTiltIsSeeded() {
    SimObservatory sim = observatory({guideCamera});
    const SimCamera& camera = *sim.guideCamera();
    const SimOptics still = sim.guideOpticsAt(0);
    const double cosDec = std::cos(still.pointingDec * M_PI / 180);
    for (const std::int64_t exposureMs : {1000, 4000}) {
        const double sigma = 0.3 * std::sqrt(1000.0 / exposureMs);
        sim.setTipTilt(0.3, 7);
        std::vector<SimOptics> first;
        double sumSq[2] = {0, 0};
        const int frames = 800;
        for (int n = 1; n <= frames; ++n) {
            first.push_back(sim.exposureOptics(camera, 0, exposureMs, std::uint64_t(n)));
            sumSq[0] += std::pow((first.back().pointingRa - still.pointingRa) * cosDec * 3600, 2);
            sumSq[1] += std::pow((first.back().pointingDec - still.pointingDec) * 3600, 2);
        }
        for (const double s : sumSq) {
            const double measured = std::sqrt(s / frames);
            QVERIFY2(qAbs(measured - sigma) < 0.1 * sigma, qPrintable(QString::number(measured)));
        }
        sim.setTipTilt(0.3, 7);
        const SimOptics again = sim.exposureOptics(camera, 0, exposureMs, 1);
        QCOMPARE(again.pointingRa, first[0].pointingRa);
        QCOMPARE(again.pointingDec, first[0].pointingDec);
        sim.setTipTilt(0.3, 8);
        QVERIFY(sim.exposureOptics(camera, 0, exposureMs, 1).pointingDec != first[0].pointingDec);
    }
}

void TestSimGuiding::mountErrors_data() {
    QTest::addColumn<bool>("on");
    QTest::addColumn<double>("raSpread"); // arcseconds of the RA axis, highest less lowest
    QTest::addColumn<double>("decMoved"); // arcseconds after 480 s
    QTest::newRow("on from the start") << true << 20.0 << 19.2;
    QTest::newRow("switched off") << false << 0.0 << 0.0;
}

// Over one period of the periodic error, 480 s, in the truth of the tracking error; the RA
// motor's period of 620 tracks 0.0005" a second slow of sidereal, 0.24" in the time.
void TestSimGuiding::mountErrors() {
    QFETCH(bool, on);
    QFETCH(double, raSpread);
    QFETCH(double, decMoved);
    SimObservatory sim = observatory({});
    sim.installMountController();
    if (!on)
        sim.setGuidingErrors(false);
    const std::int64_t t0 = Clock::nowMs();
    sim.resetTrackingError(t0);
    const double cosDec = std::cos(sim.optics().pointingDec * M_PI / 180);
    double lowest = 1e9, highest = -1e9;
    SimGuideError error;
    for (int second = 0; second <= 480; second += 2) {
        error = sim.trackingError(t0 + second * 1000);
        lowest = std::min(lowest, error.raArcsec / cosDec);
        highest = std::max(highest, error.raArcsec / cosDec);
    }
    QVERIFY2(qAbs(highest - lowest - raSpread) < 0.4,
             qPrintable(QString::number(highest - lowest)));
    QVERIFY2(qAbs(error.decArcsec - decMoved) < 0.05, qPrintable(QString::number(error.decArcsec)));
}

// Clouds over the guide scope, then everywhere, then gone; then the guide camera falls silent
// and comes back while a reader waits.
void TestSimGuiding::guideCameraFaults() {
    SimObservatory sim = observatory({guideCamera, apollo});
    sim.installMountController();
    SimCamera& guide = *sim.guideCamera();
    SimCamera& main = *sim.cameras().at(1);
    QVERIFY(&guide != &main);
    guide.setFormat(640, 480, 2, true);
    main.setFormat(main.model.width, main.model.height, 1, true);
    for (SimCamera* camera : {&guide, &main}) {
        camera->open();
        camera->setExposureUs(50000);
        camera->startVideo();
    }
    const struct {
        SimClouds clouds;
        bool guideStars, mainStars;
    } weather[] = {{SimClouds::Clear, true, true},
                   {SimClouds::OverGuideScope, false, true},
                   {SimClouds::Everywhere, false, false},
                   {SimClouds::Clear, true, true}};
    for (const auto& w : weather) {
        sim.setClouds(w.clouds);
        bool read = false;
        QCOMPARE(showsStars(guide, &read), w.guideStars);
        QVERIFY(read);
        QCOMPARE(showsStars(main, &read), w.mainStars);
        QVERIFY(read);
    }

    guide.setSilent(true);
    cv::Mat frame(480, 640, CV_16UC1);
    const long bytes = long(frame.total() * frame.elemSize());
    const std::int64_t asked = Clock::nowMs();
    QVERIFY(!guide.readVideo(frame.data, bytes, 300));
    QVERIFY(Clock::nowMs() - asked >= 300);
    std::thread back([&guide] {
        Clock::sleepMs(200);
        guide.setSilent(false);
    });
    QElapsedTimer waited;
    waited.start();
    const bool resumed = guide.readVideo(frame.data, bytes, 20000);
    back.join();
    QVERIFY(resumed);
    QVERIFY2(waited.elapsed() < 2000, qPrintable(QString::number(waited.elapsed())));
}

QTEST_GUILESS_MAIN(TestSimGuiding)
#include "tst_simguiding.moc"
