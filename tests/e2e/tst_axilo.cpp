// The polar-alignment program on the simulated observatory: a winter evening in Japan, the
// polar camera on the mount's RA axis.
#include "AxiloProgram.h"
#include "CameraDialog.h"
#include "E2eAxilo.h"
#include "PreviewWindow.h"
#include "Screenshot.h"
#include "SimCamera.h"
#include "SimObservatory.h"
#include "SimPolarScope.h"

#include <QPushButton>
#include <QtTest>
#include <ctime>

namespace {

const QPoint axisPixel(700, 440); // where the simulated RA axis meets the polar camera's frame

E2eAxilo::Options winterEvening() {
    E2eAxilo::Options options;
    options.clockStart = QDateTime(QDate(2026, 12, 15), QTime(21, 0));
    return options;
}

double shownNumber(E2eAxilo& axilo, const char* label) {
    bool ok = false;
    const double value = axilo.shownText(label).toDouble(&ok);
    return ok ? value : qQNaN();
}

} // namespace

class TestAxilo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void findsTheAxisCentre();
    void showsTheTarget_data();
    void showsTheTarget();
    void runsWithoutACamera_data();
    void runsWithoutACamera();
    void cameraFaults_data();
    void cameraFaults();
    void gainKeepsFullFrames();
};

void TestAxilo::initTestCase() {
    qputenv("TZ", "JST-9");
    tzset();
}

void TestAxilo::findsTheAxisCentre() {
    E2eAxilo axilo(winterEvening());
    QVERIFY(axilo.messages.isEmpty());
    // The user turns the RA axis to three places and takes the pole star at each.
    for (double raAngle : {-40.0, 0.0, 40.0}) {
        axilo.sim().polarScope().setRaAngle(raAngle);
        axilo.runFor(1000);
        const int before = axilo.program().starPoints().count();
        QVERIFY(axilo.press("pushButton_8"));
        QCOMPARE(axilo.program().starPoints().count(), before + 1);
    }
    saveScreenshot(&axilo.program().window(), "axilo_three_points");
    QVERIFY(axilo.press("pushButton_8"));
    QVERIFY(axilo.program().starPoints().hasCentre());
    const AxiloSettings& settings = axilo.program().settings();
    QVERIFY2(qAbs(settings.cenX - axisPixel.x()) <= 2 && qAbs(settings.cenY - axisPixel.y()) <= 2,
             qPrintable(QString("centre %1, %2").arg(settings.cenX).arg(settings.cenY)));
    axilo.runFor(1000);
    saveScreenshot(&axilo.program().window(), "axilo_centre_found");
    QVERIFY(axilo.press("pushButton_4"));
    QVERIFY(axilo.program().quitRequested());
    const QByteArray saved = axilo.settingsFile();
    QVERIFY(saved.contains("cenX " + QByteArray::number(settings.cenX) + '\n'));
    QVERIFY(saved.contains("cenY " + QByteArray::number(settings.cenY) + '\n'));
}

void TestAxilo::showsTheTarget_data() {
    QTest::addColumn<double>("altitudeArcmin");
    QTest::addColumn<double>("azimuthArcmin");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("tolerance");
    QTest::newRow("aligned") << 0.0 << 0.0 << 0.0 << 0.0 << 0.3;
    QTest::newRow("high and west") << 10.0 << -6.0 << 6.46 << -10.77 << 0.5;
}

void TestAxilo::showsTheTarget() {
    QFETCH(double, altitudeArcmin);
    QFETCH(double, azimuthArcmin);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, tolerance);
    E2eAxilo::Options options = winterEvening();
    options.settings =
        QString::asprintf("cenX %d\ncenY %d\n", axisPixel.x(), axisPixel.y()).toUtf8();
    E2eAxilo axilo(options);
    axilo.sim().polarScope().setMisalignment(altitudeArcmin, azimuthArcmin);
    QVERIFY(axilo.runUntil([&] { return !axilo.shownText("weightXLabel").isNull(); }));
    axilo.runFor(1000);
    const double shownX = shownNumber(axilo, "weightXLabel");
    const double shownY = shownNumber(axilo, "weightYLabel");
    QVERIFY2(qAbs(shownX - x) <= tolerance && qAbs(shownY - y) <= tolerance,
             qPrintable(QString("shown %1, %2").arg(shownX).arg(shownY)));
    saveScreenshot(&axilo.program().window(),
                   QString("axilo_target_%1").arg(QTest::currentDataTag()));
    // Each zoom level keeps the star in its target circle's neighbourhood.
    for (int level = 2; level <= 3; ++level) {
        QVERIFY(axilo.press("pushButton_5"));
        QCOMPARE(axilo.program().zoomLevel(), level);
        axilo.runFor(500);
        saveScreenshot(&axilo.program().window(),
                       QString("axilo_target_%1_zoom%2").arg(QTest::currentDataTag()).arg(level));
    }
}

void TestAxilo::runsWithoutACamera_data() {
    QTest::addColumn<QString>("cameras");
    QTest::addColumn<bool>("helperPresent");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("none connected") << "" << true << QStringList{"カメラがありません"};
    QTest::newRow("another camera only") << "USB" << true << QStringList{"カメラがありません"};
    QTest::newRow("no device lister")
        << "POLAR" << false
        << QStringList{"spawnlエラー", "カメラ情報ファイル(camera.txt)を読めません"};
}

void TestAxilo::runsWithoutACamera() {
    QFETCH(QString, cameras);
    QFETCH(bool, helperPresent);
    QFETCH(QStringList, messages);
    QTemporaryDir emptyFolder;
    E2eAxilo::Options options = winterEvening();
    options.cameras = cameras;
    if (!helperPresent)
        options.programFolder = emptyFolder.path();
    E2eAxilo axilo(options);
    QCOMPARE(axilo.messages, messages);
    // The reticle on black, the buttons answering, and the window's close button saving as
    // "Quit" does.
    axilo.runFor(500);
    QVERIFY(axilo.press("pushButton_6"));
    axilo.runFor(200);
    QVERIFY(axilo.shownText("weightXLabel").isNull());
    saveScreenshot(&axilo.program().window(),
                   QString("axilo_no_camera_%1").arg(QTest::currentDataTag()).replace(' ', '_'));
    axilo.program().window().close();
    QVERIFY(axilo.program().quitRequested());
    QVERIFY(axilo.settingsFile().startsWith("gain 1\n"));
}

void TestAxilo::cameraFaults_data() {
    QTest::addColumn<bool>("framesStop");
    QTest::addColumn<QString>("logged");
    QTest::newRow("frames stop") << true << "no frame from the camera";
    QTest::newRow("frames shrink") << false << "frame of 640x480, 3 channels skipped";
}

void TestAxilo::cameraFaults() {
    QFETCH(bool, framesStop);
    QFETCH(QString, logged);
    E2eAxilo::Options options = winterEvening();
    options.settings =
        QString::asprintf("cenX %d\ncenY %d\n", axisPixel.x(), axisPixel.y()).toUtf8();
    E2eAxilo axilo(options);
    SimPolarScope& scope = axilo.sim().polarScope();
    QVERIFY(axilo.runUntil([&] { return !axilo.shownText("weightXLabel").isNull(); }));
    if (framesStop)
        axilo.sim().polarCamera()->setSilent(true);
    else
        scope.forceFrameSize(QSize(640, 480));
    QVERIFY(axilo.runUntil([&] { return axilo.log.contains(logged); }));
    axilo.runFor(1000);
    QCOMPARE(axilo.log.lines().count(logged), 1);
    QVERIFY(axilo.shownText("weightXLabel").isNull());
    // The window still answers.
    QVERIFY(axilo.press("pushButton_6"));
    QCOMPARE(axilo.program().zoomLevel(), 3);
    axilo.sim().polarCamera()->setSilent(false);
    scope.forceFrameSize(QSize());
    QVERIFY(axilo.runUntil([&] { return !axilo.shownText("weightXLabel").isNull(); }));
    QVERIFY(axilo.log.contains("frames again"));
}

// A gain change reopens the camera: it comes back at full size, with the new gain.
void TestAxilo::gainKeepsFullFrames() {
    E2eAxilo::Options options = winterEvening();
    options.settings =
        QString::asprintf("cenX %d\ncenY %d\n", axisPixel.x(), axisPixel.y()).toUtf8();
    E2eAxilo axilo(options);
    QVERIFY(axilo.runUntil([&] { return !axilo.shownText("weightXLabel").isNull(); }));
    QVERIFY(axilo.press("pushButton"));
    auto* dialog = axilo.program().window().findChild<CameraDialog*>();
    QVERIFY(dialog);
    QTest::mouseClick(dialog->findChild<QPushButton*>("gainUpButton"), Qt::LeftButton);
    QCOMPARE(axilo.program().settings().gain, 2);
    QVERIFY(axilo.log.contains("gain=20"));
    QVERIFY(axilo.log.contains("width=1280"));
    axilo.runFor(1000);
    QVERIFY(!axilo.shownText("weightXLabel").isNull());
    for (const QString& line : axilo.log.lines())
        QVERIFY2(!line.contains("skipped"), qPrintable(line));
}

QTEST_MAIN(TestAxilo)
#include "tst_axilo.moc"
