// The main window end to end around the capture: the camera chosen at start-up, the photo
// history buttons, the gamepad on a zoomed picture and the polar program started from it.
#include "DataFolder.h"
#include "E2eFrames.h"
#include "E2eProgram.h"
#include "HostPath.h"
#include "ImageDisplay.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "PhotoHistory.h"
#include "ProcessState.h"
#include "SettingsFolder.h"
#include "SettingsRecord.h"
#include "SimGamepad.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <csignal>
#include <thread>
#include <unistd.h>

namespace {

// The polar program this test process started, once it runs; 0 until then.
pid_t startedAxilo() {
    const QString self = QString::number(getpid());
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
        QFile stat("/proc/" + pid + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const int close = line.lastIndexOf(')');
        const QList<QByteArray> after = line.mid(close + 2).split(' ');
        if (line.contains("(Axilo)") && after.size() > 1 && after.at(1) == self.toUtf8())
            return pid.toInt();
    }
    return 0;
}

} // namespace

class TestWindow : public QObject {
    Q_OBJECT
private slots:
    void cameraListDismissed_data();
    void cameraListDismissed();
    void photoHistoryButtons();
    void gamepadPans();
    void axiloFromMain();
};

void TestWindow::cameraListDismissed_data() {
    QTest::addColumn<bool>("escape"); // else the title bar's close button
    QTest::newRow("Esc") << true;
    QTest::newRow("title bar") << false;
}

void TestWindow::cameraListDismissed() {
    QFETCH(bool, escape);
    bool dismissed = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* list = QApplication::activeModalWidget();
        if (dismissed || !list)
            return;
        dismissed = true;
        if (escape)
            QTest::keyClick(list, Qt::Key_Escape);
        else
            list->close();
    });
    user.start(10);
    E2eProgram::Options options;
    options.cameras = "ASI294MC,ASI120MM"; // two cameras: the list is shown
    E2eProgram e2e(options);
    QVERIFY(dismissed);
    // Dismissed is no camera, as when none is connected.
    QVERIFY(e2e.state().noCamera);
    QCOMPARE(e2e.labelText("labelCameraName"), QString("No Camera"));
    for (const char* button : {"pushButton_6", "pushButton_7", "pushButton_38", "pushButton_33"})
        QVERIFY2(!e2e.press(button), button);
    e2e.runFor(2000);
    QCOMPARE(e2e.state().captureState.load(), 0);
    QVERIFY(e2e.log.contains("No camera chosen"));
    QVERIFY(e2e.messages.isEmpty());
}

void TestWindow::photoHistoryButtons() {
    E2eProgram e2e;
    PhotoHistory& history = *e2e.state().photoHistory;
    for (int i = 1; i <= 3; ++i)
        history.add(10.0 * i, 20, 1.5, 1.0, 0);
    const QString file = e2e.driveRoot() + "/C/OrlentVesperixIni/phtohist.txt";
    const auto fileLines = [&] {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? QString(in.readAll()).count('\n') : -1;
    };
    struct Press {
        const char* button;
        int count;     // entries left
        double oldest; // right ascension of the first entry left
        int fileLines; // what the file holds
    };
    // "最新削除" drops the newest in memory only; the next saving operation writes it.
    const Press presses[] = {
        {"pushButton_87", 2, 10, 3}, {"pushButton_89", 1, 20, 1}, {"pushButton_88", 0, 0, 0}};
    for (const Press& press : presses) {
        QVERIFY2(e2e.press(press.button), press.button);
        QCOMPARE(history.count(), press.count);
        if (press.count > 0)
            QCOMPARE((*history.entry(0))[0], press.oldest);
        QCOMPARE(fileLines(), press.fileLines);
    }
}

void TestWindow::gamepadPans() {
    SimGamepad pad;
    GamepadQuery::install(&pad);
    E2eProgram e2e;
    shortSeries(e2e.settings(), 1, 1, 0);
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return e2e.program().dataFolder().count() == 1; }));
    QVERIFY(e2e.press("pushButton_33")); // zoom 2
    const ViewState& view = e2e.program().display().view();
    const int startX = view.viewCenterX;
    const auto push = [&](std::uint16_t button) {
        GamepadState pressed;
        pressed.buttons = button;
        pad.play({pressed, GamepadState()});
        QVERIFY(e2e.runUntil([&] { return pad.drained(); }));
        // The pass that takes the release has served the press; the view follows on the next.
        e2e.program().loop().mainLoopPass();
        e2e.program().loop().mainLoopPass();
    };
    // D-pad right: 200 canvas pixels at zoom 2, the picture's width spread over 1200.
    push(GamepadButton::DpadRight);
    const int step = int(200 / 2.0 * view.viewWidth / 1200.0);
    QVERIFY2(std::abs(view.viewCenterX - (startX + step)) <= 1,
             qPrintable(QString("%1 -> %2").arg(startX).arg(view.viewCenterX)));
    // The full-screen view in front takes the D-pad.
    QVERIFY(e2e.press("pushButton_77"));
    QVERIFY(e2e.state().evfOpen);
    push(GamepadButton::DpadLeft);
    QVERIFY(std::abs(view.viewCenterX - (startX + step)) <= 1);
    GamepadQuery::install(nullptr);
}

void TestWindow::axiloFromMain() {
    E2eProgram::Options options;
    options.cameras = "ASI294MC,POLAR";
    E2eProgram e2e(options);
    // The user has another site in the polar program than the main program read at start.
    QFile axiloIni(HostPath::toHost(SettingsFolder::file("Axilo.ini")));
    QVERIFY(axiloIni.open(QIODevice::WriteOnly));
    axiloIni.write("long1 135\nlati1 35\n");
    axiloIni.close();

    // While the polar program runs, the main program waits with its window hidden; the user
    // ends the polar program as the system would at logout, which saves like "Quit".
    std::atomic<bool> mainHidden{false};
    std::atomic<bool> ended{false};
    std::thread user([&] {
        const QDeadlineTimer deadline(60000);
        pid_t axilo = 0;
        while (!axilo && !deadline.hasExpired()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            axilo = startedAxilo();
        }
        // Ended once its camera is open, so that the end comes where a user's would.
        QFile log(e2e.driveRoot() + "/C/OrlentVesperixIni/Axilo.log");
        while (!deadline.hasExpired() &&
               !(log.open(QIODevice::ReadOnly) && log.readAll().contains("auto exp="))) {
            log.close();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        mainHidden = !e2e.window().isVisible();
        ended = axilo && kill(axilo, SIGTERM) == 0;
    });
    QVERIFY(e2e.press("pushButton_56"));
    user.join();
    QVERIFY(ended);
    QVERIFY(mainHidden);
    QVERIFY(e2e.window().isVisible());
    QVERIFY(e2e.messages.isEmpty());
    QCOMPARE(e2e.settings().long1, 135);
    QCOMPARE(e2e.settings().lati1, 35);
    QVERIFY(axiloIni.open(QIODevice::ReadOnly));
    QVERIFY(axiloIni.readAll().startsWith("gain 1\n"));
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
