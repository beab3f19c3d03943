// The digital camera's frame settings end to end in digital-camera mode on the simulated
// observatory: the frame's centre taken from a picked object and a goto that then puts it on
// another, judged by where the simulated mount really points; and the shutter test on the
// simulated adapter. A January evening at 139 E, 38 N.
#include "Clock.h"
#include "DigicameSetDialog.h"
#include "E2eFrames.h"
#include "E2eMount.h"
#include "E2eProgram.h"
#include "Goto.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "NumberInput.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "SimEquatorialMount.h"
#include "SimMountController.h"
#include "SimObservatory.h"
#include "SimShutterAdapter.h"
#include "SkyChart.h"
#include "StarCatalog.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <cmath>

namespace {

E2eProgram::Options digitalCameraEvening(bool shutterAdapter = true) {
    E2eProgram::Options options;
    options.cameras = "EOS6D";
    options.digitalCameraMode = true;
    options.shutterAdapter = shutterAdapter;
    options.clockScale = 20;
    options.clockStart = QDateTime(QDate(2026, 1, 15), QTime(21, 0));
    return options;
}

double separation(double ra1, double dec1, double ra2, double dec2) {
    const double k = M_PI / 180;
    const double c = std::sin(dec1 * k) * std::sin(dec2 * k) +
                     std::cos(dec1 * k) * std::cos(dec2 * k) * std::cos((ra1 - ra2) * k);
    return std::acos(std::min(1.0, c)) / k;
}

void press(QWidget* window, const char* name) {
    auto* button = window->findChild<QPushButton*>(name);
    QVERIFY2(button && button->isVisible(), name);
    QTest::mouseClick(button, Qt::LeftButton);
}

DigicameSetDialog* openDialog(E2eProgram& e2e) {
    auto* dialog = e2e.window().findChild<DigicameSetDialog*>();
    return dialog && dialog->isVisible() ? dialog : nullptr;
}

} // namespace

class TestDigicam : public QObject {
    Q_OBJECT
private slots:
    void offsetCentresTheFrame_data();
    void offsetCentresTheFrame();
    void shutterTest();
    void shutterTestWithoutAdapter();
};

void TestDigicam::offsetCentresTheFrame_data() {
    QTest::addColumn<int>("decDir");
    QTest::newRow("decDir 0") << 0;
    QTest::newRow("decDir 1") << 1;
}

void TestDigicam::offsetCentresTheFrame() {
    QFETCH(int, decDir);
    E2eProgram e2e(digitalCameraEvening());
    e2e.program().sim()->setGuidingErrors(false);
    SettingsRecord& settings = e2e.settings();
    settings.angle = 1;
    // The Dec motor turns the way decDir says it does.
    settings.decDir = decDir;
    SimEquatorialMount& truth = controller(e2e).mount();
    truth.setDecSense(decDir == 0 ? 1 : -1);
    QVERIFY(connectMount(e2e) && e2e.press("pushButton_58"));
    Goto* window = e2e.window().gotoWindowOpen();
    QVERIFY(window && window->chart());
    GotoActions& actions = window->actions();
    const CatalogObject* m42 = e2e.state().catalog->messierObject(42);
    const CatalogObject* m31 = e2e.state().catalog->messierObject(31);
    QVERIFY(m42 && m31);

    // The telescope 2 degrees from M42, synced there; the camera on it looks at M42.
    const double scopeRa = m42->ra - 1.2, scopeDec = m42->dec + 1.6;
    truth.turnTo(scopeRa, scopeDec, 1);
    actions.pickedRa = scopeRa;
    actions.pickedDec = scopeDec;
    actions.pickedValid = true;
    press(window, "pushButton_18");
    e2e.runFor(1500);
    actions.pickedRa = m42->ra;
    actions.pickedDec = m42->dec;
    actions.pickedValid = true;
    press(window, "pushButtonDigicame");
    DigicameSetDialog* dialog = openDialog(e2e);
    QVERIFY(dialog);
    press(dialog, "pushButtonCentre");
    const int sign = decDir == 0 ? 1 : -1;
    QVERIFY2(std::abs(settings.digiOffRa - sign * 1200) <= 5 &&
                 std::abs(settings.digiOffDec - sign * -1600) <= 5,
             qPrintable(QString("%1 %2").arg(settings.digiOffRa).arg(settings.digiOffDec)));

    // M31 by its number, then GOTO: the camera, not the telescope, comes onto it.
    QTimer::singleShot(0, [] {
        auto* keypad = qobject_cast<NumberInput*>(QApplication::activeModalWidget());
        QVERIFY(keypad);
        for (const char* key : {"3", "1", "OK"})
            for (QPushButton* button : keypad->findChildren<QPushButton*>())
                if (button->text() == key)
                    QTest::mouseClick(button, Qt::LeftButton);
    });
    press(window, "pushButtonMessierNumber");
    QVERIFY(actions.pickedValid && actions.pickedRa == m31->ra);
    const std::int64_t start = Clock::nowMs();
    press(window, "pushButton_19");
    QVERIFY(settleMount(e2e));
    const double slewSeconds = (Clock::nowMs() - start) / 1000.0;
    const double expectedRa = m31->ra - sign * settings.digiOffRa / 1000.0;
    const double expectedDec = m31->dec - sign * settings.digiOffDec / 1000.0;
    const SimPointing pointing = truth.pointing(Clock::nowMs());
    const double off = separation(pointing.ra, pointing.dec, expectedRa, expectedDec);
    // Within 0.05 degrees, and the sky's turn while the RA axis slews instead of tracking.
    QVERIFY2(off < 0.05 + 0.0042 * slewSeconds,
             qPrintable(QString("%1 degrees off after a %2 s slew").arg(off).arg(slewSeconds)));
    // The program knows where the telescope went, whichever way its Dec motor turns.
    const double modelOff =
        separation(pointing.ra, pointing.dec, e2e.state().syncPointRa, e2e.state().syncPointDec);
    QVERIFY2(modelOff < 0.02, qPrintable(QString::number(modelOff)));
    // The green frame about M31 on the chart.
    cv::Point2d m31Pixel;
    QVERIFY(window->chart()->projection().project(m31->ra, m31->dec, &m31Pixel));
    QVERIFY(window->chart()->lastFrames().digitalCamera);
    const cv::Point2d centre = window->chart()->lastFrames().digitalCamera->centre;
    QVERIFY2(std::hypot(centre.x - m31Pixel.x, centre.y - m31Pixel.y) <= 1,
             qPrintable(QString("frame about (%1, %2), M31 at (%3, %4)")
                            .arg(centre.x)
                            .arg(centre.y)
                            .arg(m31Pixel.x)
                            .arg(m31Pixel.y)));

    for (const int level : {2, 8}) {
        while (window->chart()->zoomLevel() < level)
            press(window, "pushButtonZoomIn");
        saveScreenshot(window, QString("GotoFrames level %1 decDir %2").arg(level).arg(decDir));
    }

    press(dialog, "pushButtonReset");
    QCOMPARE(settings.digiOffRa, 0);
    QCOMPARE(settings.digiOffDec, 0);
}

void TestDigicam::shutterTest() {
    E2eProgram e2e(digitalCameraEvening());
    SimShutterAdapter* shutter = e2e.program().sim()->shutterAdapter();
    QVERIFY(shutter && shutter->isValid());
    QVERIFY(e2e.press("pushButton_90"));
    DigicameSetDialog* dialog = openDialog(e2e);
    QVERIFY(dialog);
    press(dialog, "pushButtonShutterTest");
    QTRY_COMPARE(shutter->received(), QByteArray("1"));
    press(dialog, "pushButtonShutterTest");
    QTRY_COMPARE(shutter->received(), QByteArray("10"));

    // Left open, then the dialog closed: the shutter closes with it.
    press(dialog, "pushButtonShutterTest");
    QTRY_VERIFY(shutter->isShutterOpen());
    dialog->close();
    QTRY_COMPARE(shutter->received(), QByteArray("1010"));

    // A shot taken with the test's shutter still open owns the shutter from then on: neither
    // the test nor closing the dialog cuts its exposure short, which closes the shutter itself.
    QVERIFY(e2e.press("pushButton_90"));
    QCOMPARE(openDialog(e2e), dialog); // the same dialog again
    press(dialog, "pushButtonShutterTest");
    QTRY_COMPARE(shutter->received(), QByteArray("10101"));
    shortSeries(e2e.settings(), 1, 3, 0);
    QVERIFY(e2e.press("pushButton_6"));
    QCOMPARE(e2e.state().captureState.load(), 2);
    press(dialog, "pushButtonShutterTest");
    dialog->close();
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 0; }, 20000));
    QTRY_COMPARE(shutter->received(), QByteArray("1010110"));
    QVERIFY(e2e.messages.isEmpty());
}

void TestDigicam::shutterTestWithoutAdapter() {
    E2eProgram e2e(digitalCameraEvening(false));
    QVERIFY(!e2e.program().sim()->shutterAdapter());
    QVERIFY(e2e.press("pushButton_90"));
    DigicameSetDialog* dialog = openDialog(e2e);
    QVERIFY(dialog);
    const int searches = e2e.log.lines().filter("Location:").size();
    press(dialog, "pushButtonShutterTest");
    QCOMPARE(e2e.messages, QStringList{"USBシャッターアダプターがありません"});
    QVERIFY(e2e.log.lines().filter("Location:").size() > searches); // it looked again
}

QTEST_MAIN(TestDigicam)
#include "tst_digicam.moc"
