// The simulated observatory as guiding sees it: the guide scope's geometry against the truth
// of the tracking error, the optics of an exposure, clouds and a silent guide camera.
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
    const cv::Rect box =
        cv::Rect(peak - cv::Point(6, 6), cv::Size(13, 13)) & cv::Rect(0, 0, frame.cols, frame.rows);
    const cv::Moments m = cv::moments(frame(box));
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

// 1 when the next video frame has a star well above its background, 0 when not, -1 for none.
int showsStars(SimCamera& camera, int waitMs = 5000) {
    cv::Mat frame(camera.frameHeight(), camera.frameWidth(), CV_16UC1);
    if (!camera.readVideo(frame.data, long(frame.total() * frame.elemSize()), waitMs))
        return -1;
    // A star, spread over a few pixels, stands far above the smoothed background's noise;
    // under clouds only the noise's own peaks are left.
    cv::Mat smooth;
    cv::blur(frame, smooth, cv::Size(3, 3));
    double peak = 0;
    cv::minMaxLoc(smooth, nullptr, &peak);
    cv::Scalar mean, sigma;
    cv::meanStdDev(smooth, mean, sigma);
    return peak - mean[0] > 20 * sigma[0] ? 1 : 0;
}

} // namespace

class TestSimGuiding : public QObject {
    Q_OBJECT
private slots:
    void guideFrameGeometry_data();
    void guideFrameGeometry();
    void exposureOptics();
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
    QVERIFY2(length(QPointF(truth.x, truth.y) - moved) < 0.3,
             qPrintable(QString("%1,%2").arg(truth.x).arg(truth.y)));
}

// A Dec slew at the sidereal rate, 15.04" a second, from half way through a one-second
// exposure: the frame is pointed an eighth of a second's worth north of the start, where its
// middle or its start would show no move and its end half a second's worth. Then the tip-tilt
// shakes it, the same way for the same seed.
void TestSimGuiding::exposureOptics() {
    SimObservatory sim = observatory({guideCamera});
    sim.installMountController();
    sim.setGuidingErrors(false);
    sim.setTipTilt(0, 1);
    const SimCamera& camera = *sim.guideCamera();
    const std::int64_t t0 = Clock::nowMs() + 1000;
    for (const char* command : {":G210", ":I26C0200", ":J2"})
        sim.mountController()->core().take(command, t0 + 500);
    const double start = sim.guideOpticsAt(t0).pointingDec;
    const double mean = sim.exposureOptics(camera, t0, t0 + 1000, 1).pointingDec;
    QVERIFY2(qAbs((mean - start) * 3600 - 15.042 / 8) < 0.05,
             qPrintable(QString::number((mean - start) * 3600)));

    sim.setTipTilt(0.3, 7);
    const double shaken = sim.exposureOptics(camera, t0, t0 + 1000, 1).pointingDec;
    QVERIFY(shaken != mean && qAbs(shaken - mean) * 3600 < 1.5);
    QCOMPARE(sim.exposureOptics(camera, t0, t0 + 1000, 1).pointingDec, shaken);
    sim.setTipTilt(0.3, 8);
    QVERIFY(sim.exposureOptics(camera, t0, t0 + 1000, 1).pointingDec != shaken);
}

// Clouds over the guide scope, then everywhere, then gone; then the guide camera falls silent:
// a read waits out its time and fails, and frames come again once it is back.
void TestSimGuiding::guideCameraFaults() {
    SimObservatory sim = observatory({guideCamera, apollo});
    sim.installMountController();
    SimCamera& guide = *sim.guideCamera();
    SimCamera& main = *sim.cameras().at(1);
    guide.setFormat(640, 480, 2, true);
    main.setFormat(main.model.width, main.model.height, 1, true);
    for (SimCamera* camera : {&guide, &main}) {
        camera->open();
        // The guide scope spreads its stars over a few pixels: a longer exposure shows them.
        camera->setExposureUs(camera == &guide ? 200000 : 50000);
        camera->startVideo();
    }
    const struct {
        SimClouds clouds;
        int guideStars, mainStars;
    } weather[] = {{SimClouds::Clear, true, true},
                   {SimClouds::OverGuideScope, false, true},
                   {SimClouds::Everywhere, false, false},
                   {SimClouds::Clear, true, true}};
    for (const auto& w : weather) {
        sim.setClouds(w.clouds);
        QCOMPARE(showsStars(guide), int(w.guideStars));
        QCOMPARE(showsStars(main), int(w.mainStars));
    }

    guide.setSilent(true);
    const std::int64_t asked = Clock::nowMs();
    QCOMPARE(showsStars(guide, 300), -1);
    QVERIFY(Clock::nowMs() - asked >= 300);
    guide.setSilent(false);
    QCOMPARE(showsStars(guide), 1);
}

QTEST_GUILESS_MAIN(TestSimGuiding)
#include "tst_simguiding.moc"
