// The mount end to end: "接続" in the main window, the port dialog, the simulated motor
// controller on its serial line, and the line's faults.
#include "Clock.h"
#include "ComPort.h"
#include "E2eMount.h"
#include "E2eProgram.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "MountConnection.h"
#include "MountControl.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SimMountController.h"
#include "SimObservatory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

QString lookOf(E2eProgram& e2e) {
    auto* button = e2e.window().findChild<QPushButton*>("pushButton_72");
    return button->text() + (button->styleSheet().contains("color:red") ? " red" : " white");
}

} // namespace

class TestMount : public QObject {
    Q_OBJECT
private slots:
    void connectAndDisconnect();
    void silentLine() { faultyLine(MountFault::Silent); }
    void garbageOnTheLine() { faultyLine(MountFault::Garbage); }

private:
    void faultyLine(MountFault fault);
};

void TestMount::connectAndDisconnect() {
    E2eProgram e2e;
    PortChoice user(true);
    QCOMPARE(lookOf(e2e), QStringLiteral("接続 white"));
    QVERIFY(e2e.press("pushButton_72"));
    QCOMPARE(user.dialogs, 1);
    QCOMPARE(lookOf(e2e), QStringLiteral("接続中 red"));
    QVERIFY(e2e.state().mount);
    QVERIFY(e2e.log.contains("Tracking start"));
    const std::int64_t now = Clock::nowMs();
    QVERIFY(controller(e2e).core().running(0, now)); // tracking
    QVERIFY(!controller(e2e).core().running(1, now));
    saveScreenshot(&e2e.window(), "MountConnected");

    controller(e2e).clearRecords();
    QVERIFY(e2e.press("pushButton_72"));
    QCOMPARE(controller(e2e).commands(), (QStringList{":K1", ":K2"}));
    QCOMPARE(lookOf(e2e), QStringLiteral("接続 white"));
    QVERIFY(!e2e.state().mount);
    QVERIFY(!e2e.state().mountComPort->isPortOpen());

    // Again, through the dialog once more.
    QVERIFY(e2e.press("pushButton_72"));
    QCOMPARE(user.dialogs, 2);
    QCOMPARE(lookOf(e2e), QStringLiteral("接続中 red"));
    QVERIFY(e2e.messages.isEmpty());
}

// A line that fails the initialisation, no port chosen, and a mount unplugged while connected.
void TestMount::faultyLine(MountFault fault) {
    E2eProgram e2e;
    controller(e2e).setFault(fault);
    {
        PortChoice user(true);
        const std::int64_t start = Clock::nowMs();
        QVERIFY(e2e.press("pushButton_72"));
        // The first step that fails ends it: one timeout at the most, not one a step.
        const std::int64_t took = Clock::nowMs() - start;
        QVERIFY2(took < 2 * MountLink::timeoutMs, qPrintable(QString::number(took)));
    }
    QVERIFY(e2e.log.lines().filter("Seial Time Out").size() <= 1);
    QCOMPARE(e2e.messages, QStringList{QStringLiteral("赤道儀との接続ができません...")});
    QCOMPARE(lookOf(e2e), QStringLiteral("接続 white"));
    QVERIFY(!e2e.state().mount);
    QVERIFY(!e2e.state().mountComPort->isPortOpen());

    // No port chosen: said so, nothing else.
    e2e.messages.clear();
    {
        PortChoice user(false);
        QVERIFY(e2e.press("pushButton_72"));
    }
    QCOMPARE(e2e.messages, QStringList{QStringLiteral("COMポートがオープンできません.")});

    // A mount unplugged while connected: the next conversation fails at once and the
    // window answers.
    controller(e2e).clearFault();
    e2e.messages.clear();
    {
        PortChoice user(true);
        QVERIFY(e2e.press("pushButton_72"));
    }
    QVERIFY(e2e.state().mount);
    controller(e2e).setFault(MountFault::Unplugged);
    QElapsedTimer answered;
    answered.start();
    e2e.state().mount->requestSlew(1, 100, 0);
    QVERIFY(e2e.press("pushButton_72")); // disconnect
    QVERIFY2(answered.elapsed() < 100, qPrintable(QString::number(answered.elapsed())));
    QCOMPARE(lookOf(e2e), QStringLiteral("接続 white"));
}

QTEST_MAIN(TestMount)
#include "tst_mount.moc"
