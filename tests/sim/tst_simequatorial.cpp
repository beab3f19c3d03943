// The simulated German equatorial mount: sidereal time against almanac figures, turns by
// hand, the pier side, tracking, its errors, guide pulses, and the cameras looking where it
// points.
#include "Clock.h"
#include "SimCamera.h"
#include "SimEquatorialMount.h"
#include "SimMountController.h"
#include "SimMountCore.h"
#include "SimObservatory.h"

#include <QtTest>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

namespace {

// Degrees a clock second turns the sky: 366.2422 sidereal days in 365.2422 solar ones.
const double siderealDegreesPerSecond = 360.98564736629 / 86400;

double hoursMinutesSeconds(int h, int m, double s) {
    return h + m / 60.0 + s / 3600;
}

// Signed difference in degrees, taken round the shorter way.
double apart(double a, double b) {
    return std::remainder(a - b, 360.0);
}

void run(SimMountCore& motors, const QStringList& commands, std::int64_t nowMs) {
    for (const QString& command : commands)
        motors.take(command.toLatin1(), nowMs);
}

// The centre of the brightest blob of a 16-bit frame.
cv::Point2d brightest(const cv::Mat& frame) {
    double peak = 0;
    cv::minMaxLoc(frame, nullptr, &peak);
    const cv::Moments blob = cv::moments(frame >= 0.9 * peak, true);
    return {blob.m10 / blob.m00, blob.m01 / blob.m00};
}

} // namespace

class TestSimEquatorial : public QObject {
    Q_OBJECT
private slots:
    void siderealTime_data();
    void siderealTime();
    void turnByHandRoundTrip_data();
    void turnByHandRoundTrip();
    void axesFromHome_data();
    void axesFromHome();
    void trackingHoldsThePointing_data();
    void trackingHoldsThePointing();
    void errorsMoveThePointing_data();
    void errorsMoveThePointing();
    void guidePulsesMoveThePointing_data();
    void guidePulsesMoveThePointing();
    void camerasTurnWithThePierSide();
};

void TestSimEquatorial::siderealTime_data() {
    QTest::addColumn<QDateTime>("local");
    QTest::addColumn<double>("eastLongitude");
    QTest::addColumn<double>("utcOffset");
    QTest::addColumn<double>("hours");
    const double at0h = hoursMinutesSeconds(13, 10, 46.3668); // 1987-04-10 0h UT
    const QDate day(1987, 4, 10);
    QTest::newRow("J2000.0") << QDateTime(QDate(2000, 1, 1), QTime(12, 0)) << 0.0 << 0.0
                             << 18.697374558;
    QTest::newRow("1987-04-10 0h") << QDateTime(day, QTime(0, 0)) << 0.0 << 0.0 << at0h;
    QTest::newRow("1987-04-10 19:21")
        << QDateTime(day, QTime(19, 21)) << 0.0 << 0.0 << hoursMinutesSeconds(8, 34, 57.0896);
    QTest::newRow("UTC+9") << QDateTime(day, QTime(9, 0)) << 0.0 << 9.0 << at0h;
    QTest::newRow("UTC-5, the day before")
        << QDateTime(day.addDays(-1), QTime(19, 0)) << 0.0 << -5.0 << at0h;
    QTest::newRow("139 E") << QDateTime(day, QTime(9, 0)) << 139.0 << 9.0 << at0h + 139 / 15.0;
    QTest::newRow("75 W") << QDateTime(day, QTime(0, 0)) << -75.0 << 0.0 << at0h - 5;
}

// Almanac figures: the local date and time on the clock, the site's longitude and zone.
void TestSimEquatorial::siderealTime() {
    QFETCH(QDateTime, local);
    QFETCH(double, eastLongitude);
    QFETCH(double, utcOffset);
    QFETCH(double, hours);
    SimMountCore motors;
    SimEquatorialMount mount(motors);
    mount.setSite(eastLongitude, 38, utcOffset);
    Clock::setStartDate(local);
    const double seconds = apart(mount.lstDegrees(Clock::nowMs()), hours * 15) * 240;
    QVERIFY2(qAbs(seconds) < 0.1, qPrintable(QString::number(seconds)));
}

void TestSimEquatorial::turnByHandRoundTrip_data() {
    QTest::addColumn<double>("ra");
    QTest::addColumn<double>("dec");
    QTest::addColumn<int>("side");
    QTest::addColumn<bool>("fromLst"); // `ra` counts from the sidereal time
    for (int side : {1, 2}) {
        const QByteArray east = side == 1 ? " east" : " west";
        QTest::newRow("Orion's sword" + east) << 83.82 << -5.39 << side << false;
        QTest::newRow("by the north pole" + east) << 37.95 << 89.999 << side << false;
        QTest::newRow("at the north pole" + east) << 200.0 << 90.0 << side << false;
        QTest::newRow("by the south pole" + east) << 317.2 << -89.95 << side << false;
        QTest::newRow("RA 0" + east) << 0.0 << 30.0 << side << false;
        QTest::newRow("on the meridian" + east) << 0.0 << 20.0 << side << true;
    }
    QTest::newRow("below the pole") << 180.0 << 60.0 << 1 << true;
}

// The motors have moved before the turn, so the clutches must make up for their counts.
void TestSimEquatorial::turnByHandRoundTrip() {
    QFETCH(double, ra);
    QFETCH(double, dec);
    QFETCH(int, side);
    QFETCH(bool, fromLst);
    SimMountCore motors;
    SimEquatorialMount mount(motors);
    run(motors, {":G100", ":H155A607", ":J1", ":G201", ":H2123456", ":J2"}, 0);
    const std::int64_t at = 60000;
    if (fromLst)
        ra = std::fmod(mount.lstDegrees(at) + ra, 360);
    mount.turnTo(ra, dec, side, at);
    const SimPointing p = mount.pointing(at);
    QCOMPARE(p.pierSide, side);
    QVERIFY2(qAbs(p.dec - dec) < 1e-9, qPrintable(QString::number(p.dec, 'g', 12)));
    QVERIFY(p.ra >= 0 && p.ra < 360);
    // The clock's date is read apart from its milliseconds: a millisecond, 0.015", between them.
    QVERIFY2(qAbs(apart(p.ra, ra)) < 1e-5, qPrintable(QString::number(p.ra, 'g', 12)));
}

void TestSimEquatorial::axesFromHome_data() {
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("decSense");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<int>("sideAfter");
    QTest::addColumn<double>("hourAngle");
    QTest::addColumn<double>("dec");
    // 250667 steps are 10 degrees; ":H" counts them, ":G" digit 1 runs the counts down.
    const QStringList none;
    const QStringList decDown = {":G201", ":H22BD303", ":J2"};
    const QStringList decUp = {":G200", ":H22BD303", ":J2"};
    QTest::newRow("home east") << 1 << 1 << none << 1 << 90.0 << 90.0;
    QTest::newRow("home west") << 2 << 1 << none << 2 << -90.0 << 90.0;
    QTest::newRow("RA counts up") << 1 << 1 << QStringList{":G100", ":H12BD303", ":J1"} << 1
                                  << 100.0 << 90.0;
    QTest::newRow("Dec counts down: east") << 2 << 1 << decDown << 1 << 90.0 << 80.0;
    QTest::newRow("Dec counts up: west") << 1 << 1 << decUp << 2 << -90.0 << 80.0;
    QTest::newRow("reversed sense, counts up: east") << 2 << -1 << decUp << 1 << 90.0 << 80.0;
    QTest::newRow("reversed sense, counts down: west") << 1 << -1 << decDown << 2 << -90.0 << 80.0;
}

// The pier side follows the sign of the Dec axis angle past the pole, and the hour angle
// jumps half a turn with it.
void TestSimEquatorial::axesFromHome() {
    QFETCH(int, side);
    QFETCH(int, decSense);
    QFETCH(QStringList, commands);
    QFETCH(int, sideAfter);
    QFETCH(double, hourAngle);
    QFETCH(double, dec);
    SimMountCore motors;
    SimEquatorialMount mount(motors);
    mount.setDecSense(decSense);
    mount.turnToHome(side, 0);
    run(motors, commands, 0);
    const std::int64_t landed = 30000;
    QVERIFY(!motors.running(0, landed) && !motors.running(1, landed));
    const SimPointing p = mount.pointing(landed);
    QCOMPARE(p.pierSide, sideAfter);
    const double ha = apart(mount.lstDegrees(landed), p.ra);
    QVERIFY2(qAbs(ha - hourAngle) < 1e-4, qPrintable(QString::number(ha)));
    QVERIFY2(qAbs(p.dec - dec) < 1e-4, qPrintable(QString::number(p.dec)));
}

void TestSimEquatorial::trackingHoldsThePointing_data() {
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("halfway");
    QTest::addColumn<double>("raDrift");
    const QStringList tracking = {":G110", ":I16C0200", ":J1"};
    QTest::newRow("tracking") << tracking << QStringList() << 0.0;
    // A stopped axis holds its hour angle while the sky turns on.
    QTest::newRow("stopped") << QStringList() << QStringList() << 600 * siderealDegreesPerSecond;
    // The count relabelled under way: the axis does not turn for it.
    QTest::newRow("tracking, count set") << tracking << QStringList{":E1000080"} << 0.0;
}

// Ten clock minutes from a turn by hand, with the counts far from the centre.
void TestSimEquatorial::trackingHoldsThePointing() {
    QFETCH(QStringList, commands);
    QFETCH(QStringList, halfway);
    QFETCH(double, raDrift);
    SimMountCore motors;
    SimEquatorialMount mount(motors);
    const std::int64_t start = 5000;
    run(motors, {":G110", ":I16C0200", ":J1", ":E1123456"}, 0);
    run(motors, {":K1"}, 1000);
    run(motors, commands, start);
    mount.turnTo(83.82, -5.39, 1, start);
    for (std::int64_t minute = 0; minute <= 10; ++minute) {
        const std::int64_t at = start + minute * 60000;
        if (minute == 5)
            run(motors, halfway, at);
        const double expected = 83.82 + raDrift * minute / 10;
        QVERIFY2(qAbs(apart(mount.pointingRa(at), expected)) < 0.001,
                 qPrintable(QString("minute %1: %2").arg(minute).arg(mount.pointingRa(at))));
        QVERIFY(qAbs(mount.pointingDec(at) + 5.39) < 1e-9);
    }
}

void TestSimEquatorial::errorsMoveThePointing_data() {
    QTest::addColumn<double>("amplitude"); // arcseconds
    QTest::addColumn<double>("period");    // seconds
    QTest::addColumn<double>("raRate");    // arcseconds a minute
    QTest::addColumn<double>("decRate");
    QTest::addColumn<double>("raSpread"); // arcseconds, highest less lowest over 8 minutes
    QTest::addColumn<double>("raMoved");  // arcseconds after 8 minutes
    QTest::addColumn<double>("decMoved");
    QTest::newRow("none by default") << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("periodic error") << 12.0 << 480.0 << 0.0 << 0.0 << 24.0 << 0.0 << 0.0;
    QTest::newRow("drift") << 0.0 << 0.0 << 6.0 << -3.0 << 48.0 << 48.0 << -24.0;
    QTest::newRow("both") << 5.0 << 960.0 << 0.0 << 2.0 << 5.0 << 0.0 << 16.0;
}

// The axes stand still and the sky's turning is taken out, so only the errors are left.
void TestSimEquatorial::errorsMoveThePointing() {
    QFETCH(double, amplitude);
    QFETCH(double, period);
    QFETCH(double, raRate);
    QFETCH(double, decRate);
    QFETCH(double, raSpread);
    QFETCH(double, raMoved);
    QFETCH(double, decMoved);
    SimMountCore motors;
    SimEquatorialMount mount(motors);
    if (amplitude > 0)
        mount.setPeriodicError(amplitude, period);
    mount.turnTo(150, 40, 2, 0);
    if (raRate != 0 || decRate != 0)
        mount.setDrift(raRate, decRate, 0);
    double lowest = 360, highest = -360, ra = 0;
    for (std::int64_t second = 0; second <= 480; ++second) {
        const double sky = 150 + second * siderealDegreesPerSecond;
        ra = apart(mount.pointingRa(second * 1000), sky) * 3600;
        lowest = std::min(lowest, ra);
        highest = std::max(highest, ra);
    }
    const double dec = (mount.pointingDec(480000) - 40) * 3600;
    const double tolerance = 0.05;
    QVERIFY2(qAbs(highest - lowest - raSpread) < tolerance,
             qPrintable(QString::number(highest - lowest)));
    QVERIFY2(qAbs(ra - raMoved) < tolerance, qPrintable(QString::number(ra)));
    QVERIFY2(qAbs(dec - decMoved) < tolerance, qPrintable(QString::number(dec)));
}

void TestSimEquatorial::guidePulsesMoveThePointing_data() {
    QTest::addColumn<int>("side");
    QTest::addColumn<QStringList>("pulse"); // at 1 s, ended at 3 s
    QTest::addColumn<QStringList>("end");
    QTest::addColumn<double>("raAxisArcsec"); // the move of the RA axis, before cos Dec
    QTest::addColumn<double>("decArcsec");
    const QStringList backToSidereal = {":I16C0200"};
    // The RA axis keeps tracking at 64935 / period steps a second (0.1436" a step): period 413,
    // 1.5 times sidereal, turns it 15.08" further in 2 s and the tube points west by that;
    // period 1240, half sidereal, 15.04" less.
    QTest::newRow("RA faster") << 1 << QStringList{":I19D0100", ":J1"} << backToSidereal << -15.078
                               << 0.0;
    QTest::newRow("RA slower") << 1 << QStringList{":I1D80400", ":J1"} << backToSidereal << 15.042
                               << 0.0;
    QTest::newRow("RA slower, west of the pier")
        << 2 << QStringList{":I1D80400", ":J1"} << backToSidereal << 15.042 << 0.0;
    // A low-speed Dec slew at period 6203, a tenth of sidereal: 1.5034" a second for 2 s.
    // Rising counts turn the tube north east of the pier and south west of it.
    const QStringList stop = {":K2"};
    QTest::newRow("Dec counts up")
        << 1 << QStringList{":G210", ":I23B1800", ":J2"} << stop << 0.0 << 3.007;
    QTest::newRow("Dec counts down")
        << 1 << QStringList{":G211", ":I23B1800", ":J2"} << stop << 0.0 << -3.007;
    QTest::newRow("Dec counts up, west of the pier")
        << 2 << QStringList{":G210", ":I23B1800", ":J2"} << stop << 0.0 << -3.007;
}

// A guide pulse against the tracking error on the sky: the speed changes at once, ":J" to a
// running axis is taken and leaves it running, and the record holds the pulse's two changes.
void TestSimEquatorial::guidePulsesMoveThePointing() {
    QFETCH(int, side);
    QFETCH(QStringList, pulse);
    QFETCH(QStringList, end);
    QFETCH(double, raAxisArcsec);
    QFETCH(double, decArcsec);
    SimMountCore motors;
    SimEquatorialMount mount(motors);
    const double dec = 60;
    run(motors, {":G110", ":I16C0200", ":J1"}, 0);
    mount.turnTo(150, dec, side, 0);
    motors.clearRateChanges();
    for (const QString& command : pulse)
        QCOMPARE(motors.take(command.toLatin1(), 1000), QByteArray("=\r"));
    QVERIFY(motors.running(0, 2000));
    run(motors, end, 3000);
    const std::vector<SimMountCore::RateChange> changes = motors.rateChanges();
    QCOMPARE(int(changes.size()), 2);
    QCOMPARE(changes[0].clockMs, std::int64_t(1000));
    QCOMPARE(changes[1].clockMs, std::int64_t(3000));

    const SimTrackingError error = mount.trackingError(10000);
    const double ra = raAxisArcsec * std::cos(dec * M_PI / 180);
    QVERIFY2(qAbs(error.raArcsec - ra) < 0.05, qPrintable(QString::number(error.raArcsec)));
    QVERIFY2(qAbs(error.decArcsec - decArcsec) < 0.05,
             qPrintable(QString::number(error.decArcsec)));
}

// The same star from both sides of the pier lands on opposite sides of the frame's centre.
void TestSimEquatorial::camerasTurnWithThePierSide() {
    SimObservatory observatory(qEnvironmentVariable("VESPERIX_BIN_DIR"),
                               {*SimCameraModel::withKey("ASI120MM")});
    observatory.installMountController();
    SimEquatorialMount& mount = observatory.mountController()->mount();
    SimCamera& camera = *observatory.cameras().at(0);
    camera.open();
    camera.setFormat(camera.model.width, camera.model.height, 1, true);
    camera.setExposureUs(100000);
    const double betelgeuseRa = 88.7929, betelgeuseDec = 7.4071;
    cv::Point2d star[2];
    for (int side : {1, 2}) {
        mount.turnTo(betelgeuseRa + 0.1, betelgeuseDec - 0.05, side);
        camera.startSingle();
        QTRY_VERIFY(camera.imageReady());
        cv::Mat frame(camera.frameHeight(), camera.frameWidth(), CV_16UC1);
        QVERIFY(camera.readSingle(frame.data, long(frame.total() * frame.elemSize())));
        star[side - 1] = brightest(frame);
        QCOMPARE(mount.pierSide(Clock::nowMs()), side);
    }
    const cv::Point2d centre((camera.model.width - 1) / 2.0, (camera.model.height - 1) / 2.0);
    // Off the centre by the 0.1 degrees of RA and 0.05 of Dec, about 190 and 90 pixels.
    QVERIFY2(cv::norm(star[0] - centre) > 150, qPrintable(QString::number(star[0].x)));
    QVERIFY2(
        cv::norm(star[0] + star[1] - 2 * centre) < 2,
        qPrintable(
            QString("%1,%2 %3,%4").arg(star[0].x).arg(star[0].y).arg(star[1].x).arg(star[1].y)));
}

QTEST_GUILESS_MAIN(TestSimEquatorial)
#include "tst_simequatorial.moc"
