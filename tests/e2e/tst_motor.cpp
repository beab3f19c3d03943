// The motor dialog end to end on the simulated mount: what its pads send down the line, a
// press kept while the mount talks, and tracking again after every move.
#include "E2eMount.h"
#include "E2eProgram.h"
#include "LayoutFaults.h"
#include "MainWindow.h"
#include "Motor.h"
#include "MountControl.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SimMountController.h"
#include "TouchFont.h"
#include "TouchLabel.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>
#include <memory>

namespace {

// Whether the mount talks while the pad is pressed and released.
enum class Busy {
    Never,
    PressAndRelease,
    PressOnly, // free again before the release, while the press still waits for its turn
};

// The right-ascension axis's motion commands so far.
QStringList raMoves(E2eProgram& e2e) {
    return controller(e2e).commands().filter(QRegularExpression("^:[GHIJK]1"));
}

int trackingStarts(E2eProgram& e2e) {
    return e2e.log.lines().filter("Tracking start").size();
}

} // namespace

Q_DECLARE_METATYPE(Busy)

class TestMotor : public QObject {
    Q_OBJECT
private slots:
    void pads_data();
    void pads();
};

void TestMotor::pads_data() {
    QTest::addColumn<QStringList>("choices"); // buttons pressed before the pad
    QTest::addColumn<Busy>("busy");
    QTest::addColumn<QString>("screenshot");
    QTest::addColumn<QStringList>("moves"); // from the press until tracking again

    // Tracking stops before each move; the position update starts it again once the axis
    // stands.
    const QStringList fullSpeedSlew{":K1", ":G131", ":I10C0000", ":J1", ":K1"};
    const QStringList oneDegree{":K1", ":G101", ":H1EA6100", ":J1"}; // 25066 steps
    const QStringList tracking{":G110", ":I16C0200", ":J1"};
    QTest::newRow("continuous at full speed")
        << QStringList() << Busy::Never << "MotorContinuous" << fullSpeedSlew + tracking;
    QTest::newRow("a 1 degree step")
        << QStringList{"pushButtonStep1"} << Busy::Never << "MotorStep" << oneDegree + tracking;
    QTest::newRow("最大 keeps the step") << QStringList{"pushButtonStep1", "pushButtonSpeedMax"}
                                         << Busy::Never << "" << oneDegree + tracking;
    QTest::newRow("8倍 goes back to continuous")
        << QStringList{"pushButtonStep1", "pushButtonSpeed8"} << Busy::Never << ""
        << QStringList{":K1", ":G111", ":I14D0000", ":J1", ":K1"} + tracking;
    QTest::newRow("pressed and released while the mount talks")
        << QStringList() << Busy::PressAndRelease << "" << fullSpeedSlew + tracking;
    QTest::newRow("released before the kept press is served")
        << QStringList() << Busy::PressOnly << "" << fullSpeedSlew + tracking;
}

void TestMotor::pads() {
    QFETCH(QStringList, choices);
    QFETCH(Busy, busy);
    QFETCH(QString, screenshot);
    QFETCH(QStringList, moves);

    E2eProgram e2e;
    QVERIFY(connectMount(e2e));
    QVERIFY(e2e.press("pushButton_62"));
    QVERIFY(e2e.press("pushButton_62")); // one dialog, raised again
    QCOMPARE(e2e.window().findChildren<Motor*>().size(), 1);
    Motor* motor = e2e.window().findChild<Motor*>();
    QCOMPARE(motor->windowTitle(), QStringLiteral("モーター制御"));
    QCOMPARE(motor->size(), QSize(406, 476));
    for (const QString& name : choices)
        QTest::mouseClick(motor->findChild<QPushButton*>(name), Qt::LeftButton);

    controller(e2e).clearRecords();
    const int tracked = trackingStarts(e2e);
    static QTouchDevice* touchScreen = QTest::createTouchDevice();
    // Touches go to the dialog's window, which finds the pad under the finger.
    auto* east = motor->findChild<TouchLabel*>("labelEast");
    const QPoint onEast = east->mapTo(motor, east->rect().center());
    std::unique_ptr<MountControl::Conversation> talking;
    if (busy != Busy::Never)
        talking = std::make_unique<MountControl::Conversation>(*e2e.state().mount);

    QTest::touchEvent(motor, touchScreen).press(0, onEast, motor);
    if (!screenshot.isEmpty()) {
        saveScreenshot(motor, screenshot);
        QCOMPARE(layoutFaults(motor, {TouchFont::titlePx, 48}), QStringList());
    }
    if (busy == Busy::PressOnly)
        talking.reset();
    QTest::touchEvent(motor, touchScreen).release(0, onEast, motor);
    if (busy == Busy::PressAndRelease) {
        QCOMPARE(raMoves(e2e), QStringList()); // kept
        talking.reset();
    }
    QVERIFY(e2e.runUntil([&] { return trackingStarts(e2e) > tracked; }));
    QCOMPARE(raMoves(e2e), moves);

    // 閉じる forgets the dialog: the next press makes a new one.
    QTest::mouseClick(motor->findChild<QPushButton*>("pushButtonClose"), Qt::LeftButton);
    QVERIFY(e2e.runUntil([&] { return !e2e.window().findChild<Motor*>(); }));
    QVERIFY(e2e.press("pushButton_62"));
    QVERIFY(e2e.window().findChild<Motor*>());
}

QTEST_MAIN(TestMotor)
#include "tst_motor.moc"
