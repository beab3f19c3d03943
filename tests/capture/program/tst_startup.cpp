#include "ExternalPrograms.h"
#include "GamepadFlags.h"
#include "GamepadService.h"
#include "LauncherApps.h"
#include "LogRecorder.h"
#include "MainLoop.h"
#include "MainWindow.h"
#include "MainWindowGamepad.h"
#include "MessageDialog.h"
#include "ProcessState.h"
#include "ProgramArguments.h"
#include "SettingsRecord.h"
#include "SimGamepad.h"
#include "StartUp.h"
#include "TestDrives.h"
#include "UserPrompt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <ctime>

namespace {

// A stand-in for an outside program: appends its first argument to `record` beside itself.
void writeRecordingProgram(const QString& path, const QString& record) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile script(path);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho \"$1\" >> \"$(dirname \"$0\")/" + record.toUtf8() + "\"\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
}

} // namespace

class TestStartUp : public QObject {
    Q_OBJECT
private slots:
    void argumentWalk_data();
    void argumentWalk();
    void launcherApps();
    void gamepadMapping_data();
    void gamepadMapping();
    void gamepadLatchesPresses();
    void panStaysInsideTheImage();
    void mainLoopRunsItsStepsInOrderWithoutSpinning();
    void messageDialogs();
    void axiloStartsBesideTheProgram();
    void smallDesktopsGetAFullScreenWindow();
    void gamepadDrivesTheMainWindow();
    void stellaImageOpensTheColourTwin();
};

void TestStartUp::argumentWalk_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("exePath");
    QTest::addColumn<bool>("digital");
    QTest::addColumn<QString>("appDir");
    QTest::newRow("plain") << QStringList{"C:\\Orlent\\Vesperix.exe"} << "C:\\Orlent\\Vesperix.exe"
                           << false << "C:\\Orlent";
    QTest::newRow("digital camera") << QStringList{"C:\\Orlent\\Vesperix.exe", "d"}
                                    << "C:\\Orlent\\Vesperix.exe" << true << "C:\\Orlent";
    QTest::newRow("other letter joins the path")
        << QStringList{"C:\\Orlent\\Vesperix.exe", "x"} << "C:\\Orlent\\Vesperix.exe x" << false
        << "C:\\Orlent";
    QTest::newRow("path split at its blank")
        << QStringList{"C:\\Program", "Files\\Orlent\\Vesperix.exe"}
        << "C:\\Program Files\\Orlent\\Vesperix.exe" << false << "C:\\Program Files\\Orlent";
    QTest::newRow("split path and d") << QStringList{"C:\\My", "Apps\\Vesperix.exe", "d"}
                                      << "C:\\My Apps\\Vesperix.exe" << true << "C:\\My Apps";
}

void TestStartUp::argumentWalk() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, exePath);
    QFETCH(bool, digital);
    QFETCH(QString, appDir);
    LogRecorder log;
    const ProgramArguments parsed = ProgramArguments::parse(arguments);
    QCOMPARE(parsed.exePath, exePath);
    QCOMPARE(parsed.digitalCameraMode, digital);
    QCOMPARE(parsed.appDir(), appDir);
    QCOMPARE(log.contains("DigiCameMode"), digital);
}

void TestStartUp::launcherApps() {
    TestDrives drives;
    LogRecorder log;
    LauncherApps apps = LauncherApps::read();
    QVERIFY(log.contains("iniFile open error"));
    QVERIFY(!apps.hasStellaImage);

    drives.writeSettingsFile("OrlentLaunch.ini",
                             "mode 1\r\nappName1 \t C:\\Tools\\editor.exe\r\n"
                             "appName3 C:\\StellaImage\\stlimg9.exe\nappName4 D:\\stlimg\\x.exe\n"
                             "appName2\n");
    apps = LauncherApps::read();
    QCOMPARE(apps.commandLines[0], QString("C:\\Tools\\editor.exe"));
    QCOMPARE(apps.commandLines[1], QString());
    QVERIFY(apps.hasStellaImage);
    QCOMPARE(apps.stellaImagePath, QString("C:\\StellaImage\\stlimg9.exe")); // slot 3 before 4
    QVERIFY(log.contains("Find StellaImage"));
}

void TestStartUp::gamepadMapping_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("leftTrigger");
    QTest::addColumn<int>("rightTrigger");
    QTest::addColumn<QStringList>("actions");
    QTest::newRow("idle: gain up") << 0 << 0x0001 << 0 << 0 << QStringList{"pushButton_24"};
    QTest::newRow("idle: exposure minutes down")
        << 0 << 0x0004 << 0 << 0 << QStringList{"pushButton_19"};
    QTest::newRow("idle: series count up") << 0 << 0x0080 << 0 << 0 << QStringList{"pushButton_10"};
    QTest::newRow("idle: live view, playback")
        << 0 << 0x0300 << 0 << 0 << QStringList{"pushButton_7", "pushButton_32"};
    QTest::newRow("idle: start does nothing") << 0 << 0x0010 << 0 << 0 << QStringList{};
    QTest::newRow("idle: triggers")
        << 0 << 0 << 255 << 201 << QStringList{"pushButton_38", "pushButton_6"};
    QTest::newRow("idle: trigger at 200 is not pressed") << 0 << 0 << 200 << 200 << QStringList{};
    QTest::newRow("live: gain down") << 1 << 0x0002 << 0 << 0 << QStringList{"pushButton_3"};
    QTest::newRow("live: exposure up") << 1 << 0x0008 << 0 << 0 << QStringList{"pushButton_4"};
    QTest::newRow("live: zoom out and in")
        << 1 << 0x00C0 << 0 << 0 << QStringList{"pushButton_35", "pushButton_33"};
    QTest::newRow("live: brightness")
        << 1 << 0x0300 << 0 << 0 << QStringList{"pushButton_84", "pushButton_83"};
    QTest::newRow("live: left trigger stops, right does nothing")
        << 1 << 0 << 250 << 250 << QStringList{"pushButton_7"};
    QTest::newRow("viewing: pans")
        << 3 << 0x0005 << 0 << 0 << QStringList{"pan:0,-100", "pan:-200,0"};
    QTest::newRow("viewing: next, previous")
        << 3 << 0x0030 << 0 << 0 << QStringList{"pushButton_37", "pushButton_36"};
    QTest::newRow("viewing: back and composite")
        << 4 << 0 << 255 << 255 << QStringList{"pushButton_32", "pushButton_79"};
}

void TestStartUp::gamepadMapping() {
    QFETCH(int, state);
    QFETCH(int, buttons);
    QFETCH(int, leftTrigger);
    QFETCH(int, rightTrigger);
    QFETCH(QStringList, actions);
    GamepadFlags flags;
    GamepadState pressed;
    pressed.packetNumber = 1;
    pressed.buttons = std::uint16_t(buttons);
    pressed.leftTrigger = std::uint8_t(leftTrigger);
    pressed.rightTrigger = std::uint8_t(rightTrigger);
    flags.latch(true, pressed);
    QCOMPARE(MainWindowGamepad::actions(flags.take(), state, GamepadFront::MainWindow), actions);
    // Taken once.
    QCOMPARE(MainWindowGamepad::actions(flags.take(), state, GamepadFront::MainWindow),
             QStringList());
}

void TestStartUp::gamepadLatchesPresses() {
    GamepadFlags flags;
    GamepadState state;
    const auto hold = [&](std::uint16_t buttons, std::uint8_t rightTrigger = 0) {
        ++state.packetNumber;
        state.buttons = buttons;
        state.rightTrigger = rightTrigger;
        flags.latch(true, state);
    };
    const auto actions = [&](int captureState, GamepadFront front) {
        return MainWindowGamepad::actions(flags.take(), captureState, front);
    };
    hold(GamepadButton::DpadUp);
    hold(GamepadButton::DpadUp); // still held: one press
    hold(0);
    hold(GamepadButton::DpadUp); // pressed again before the main loop looked
    QCOMPARE(actions(0, GamepadFront::MainWindow), QStringList{"pushButton_24"});
    hold(GamepadButton::DpadUp);
    QCOMPARE(actions(0, GamepadFront::MainWindow), QStringList());
    // Another window in front: only the right trigger reaches the main window.
    hold(0);
    hold(GamepadButton::DpadDown, 255);
    QCOMPARE(actions(3, GamepadFront::OwnMapping), QStringList{"pushButton_79"});
}

void TestStartUp::panStaysInsideTheImage() {
    double x = 2000, y = 1500;
    panViewCentre(&x, &y, 200, -100, 2.0, 4000, 3000);
    QCOMPARE(x, 2000 + 200 / 2.0 * (4000 / 1200.0));
    QCOMPARE(y, 1500 - 100 / 2.0 * (3000 / 640.0));
    panViewCentre(&x, &y, 100000, 100000, 2.0, 4000, 3000);
    QCOMPARE(x, 4000 - 1000.0 - 1);
    QCOMPARE(y, 3000 - 750.0 - 1);
    panViewCentre(&x, &y, -100000, -100000, 4.0, 4000, 3000);
    QCOMPARE(x, 500.0);
    QCOMPARE(y, 375.0);
}

void TestStartUp::mainLoopRunsItsStepsInOrderWithoutSpinning() {
    MainLoop loop;
    QStringList order;
    loop.viewAndCaptureStep = [&] { order << "capture"; };
    loop.mountStep = [&] { order << "mount"; };
    loop.gamepadStep = [&] {
        order << "gamepad";
        if (order.size() >= 3 * 50)
            loop.requestExit(0);
    };
    bool eventSeen = false;
    QTimer::singleShot(0, [&] { eventSeen = order.isEmpty(); }); // events come first
    const std::clock_t cpuBefore = std::clock();
    QElapsedTimer wall;
    wall.start();
    QCOMPARE(loop.run(), 0);
    QVERIFY(eventSeen);
    QCOMPARE(order.mid(0, 3), (QStringList{"capture", "mount", "gamepad"}));
    // 50 passes wait for the tick: they take time but almost no processor.
    QVERIFY2(wall.elapsed() >= 50 * 5, qPrintable(QString::number(wall.elapsed())));
    const double cpuMs = double(std::clock() - cpuBefore) * 1000 / CLOCKS_PER_SEC;
    QVERIFY2(cpuMs < wall.elapsed() / 4.0, qPrintable(QString::number(cpuMs)));
}

void TestStartUp::messageDialogs() {
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->text(), QStringLiteral("オートガイダーを閉じてください"));
        auto* close = dialog->findChild<QPushButton*>("pushButton");
        QCOMPARE(close->text(), QStringLiteral("閉じる"));
        close->click();
    });
    showMessage(QStringLiteral("オートガイダーを閉じてください"));

    int answer = -1;
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        QCOMPARE(dialog->findChild<QPushButton*>("pushButton")->text(), QStringLiteral("はい"));
        QCOMPARE(dialog->findChild<QPushButton*>("pushButton_2")->text(), QStringLiteral("いいえ"));
        dialog->findChild<QPushButton*>("pushButton")->click();
    });
    yesNoDialog(QStringLiteral("保存しますか?"), &answer);
    QCOMPARE(answer, 1);
    QTimer::singleShot(0, [] {
        QApplication::activeModalWidget()->findChild<QPushButton*>("pushButton_2")->click();
    });
    yesNoDialog(QStringLiteral("保存しますか?"), &answer);
    QCOMPARE(answer, 0);
}

void TestStartUp::axiloStartsBesideTheProgram() {
    TestDrives drives;
    QStringList messages;
    UserPrompt::setMessageHandler([&](const QString& text) { messages << text; });
    // A stand-in Axilo in a program folder on drive D, recording its argument; the user moves
    // to another site in it, which it writes to its settings file as it quits.
    writeRecordingProgram(drives.root() + "/D/Orlent/Axilo", "ran.txt");
    QFile script(drives.root() + "/D/Orlent/Axilo");
    QVERIFY(script.open(QIODevice::Append));
    script.write("mkdir -p \"$VESPERIX_DRIVES/C/OrlentVesperixIni\"\n"
                 "printf 'long1 135\\nlati1 35\\ntime 8\\nlongWE 1\\n' > "
                 "\"$VESPERIX_DRIVES/C/OrlentVesperixIni/Axilo.ini\"\n");
    script.close();

    SettingsRecord settings;
    settings.setDefaults();
    ProcessState& state = processState();
    state.settings = &settings;
    state.exePath = "D:\\Orlent\\Vesperix.exe";
    QWidget window;
    window.show();
    startAxilo(state, &window);
    QVERIFY(window.isVisible());
    QFile ran(drives.root() + "/D/Orlent/ran.txt");
    QVERIFY(ran.open(QIODevice::ReadOnly));
    QCOMPARE(ran.readAll(), QByteArray("\"D:\\Orlent\\Axilo.exe\"\n"));
    QVERIFY(messages.isEmpty());
    QCOMPARE(settings.long1, 135);
    QCOMPARE(settings.lati1, 35);
    QCOMPARE(settings.timeD, 8);
    QCOMPARE(settings.longWE, 1);

    state.exePath = "D:\\Nowhere\\Vesperix.exe";
    startAxilo(state, &window);
    QCOMPARE(messages, QStringList{QStringLiteral("spawnlエラー2")});
    QVERIFY(window.isVisible());
    state.settings = nullptr;
    UserPrompt::setMessageHandler(nullptr);
}

void TestStartUp::smallDesktopsGetAFullScreenWindow() {
    QVERIFY(opensFullScreen(QSize(1280, 800)));
    QVERIFY(opensFullScreen(QSize(1281, 800)));
    QVERIFY(opensFullScreen(QSize(1280, 801)));
    QVERIFY(!opensFullScreen(QSize(1281, 801)));
    QVERIFY(!opensFullScreen(QSize(1920, 1080)));
}

void TestStartUp::gamepadDrivesTheMainWindow() {
    SimGamepad pad(false);
    GamepadQuery::install(&pad);
    LogRecorder log;
    SettingsRecord settings;
    settings.setDefaults();
    ProcessState state;
    state.settings = &settings;
    MainWindow window(state);
    window.show();
    {
        GamepadService gamepad(state, window);
        gamepad.startIfConnected();
        QVERIFY(log.contains("joystick no connect"));
        pad.setPluggedIn(true);
        // Asked again on a later pass: now it answers.
        QTRY_VERIFY((gamepad.step(), gamepad.running()));
        QVERIFY(log.contains("joystick connect"));

        GamepadState up;
        up.buttons = GamepadButton::DpadUp;
        pad.play(up);
        QTRY_VERIFY(pad.drained());
        gamepad.step();
        QCOMPARE(settings.gain, 12);
        // Held at the limit, the press does what the button does: nothing.
        settings.gain = 25;
        pad.play({GamepadState(), up});
        QTRY_VERIFY(pad.drained());
        gamepad.step();
        QCOMPARE(settings.gain, 25);
    }
    GamepadQuery::install(nullptr);
}

void TestStartUp::stellaImageOpensTheColourTwin() {
    TestDrives drives;
    QStringList messages;
    UserPrompt::setMessageHandler([&](const QString& text) { messages << text; });
    QDir().mkpath(drives.root() + "/C/VesperixData");
    writeRecordingProgram(drives.root() + "/C/Tools/stlimg", "opened.txt");
    for (const char* name : {"M00001.tif", "M00002.tif", "C00002.tif"}) {
        QFile image(drives.root() + "/C/VesperixData/" + name);
        QVERIFY(image.open(QIODevice::WriteOnly));
    }
    ProcessState& state = processState();
    state.launcherApps.hasStellaImage = true;
    state.launcherApps.stellaImagePath = "C:\\Tools\\stlimg.exe";
    startStellaImage(state, "C:\\VesperixData\\M00001.tif");
    startStellaImage(state, "C:\\VesperixData\\M00002.tif");
    QFile opened(drives.root() + "/C/Tools/opened.txt");
    QVERIFY(opened.open(QIODevice::ReadOnly));
    const QString data = drives.root() + "/C/VesperixData/";
    QCOMPARE(QString(opened.readAll()), data + "M00001.tif\n" + data + "C00002.tif\n");
    QVERIFY(messages.isEmpty());

    state.launcherApps.stellaImagePath = "C:\\Tools\\missing.exe";
    startStellaImage(state, "C:\\VesperixData\\M00001.tif");
    QCOMPARE(messages, QStringList{QStringLiteral("spawnlエラー3")});
    state.launcherApps = LauncherApps();
    UserPrompt::setMessageHandler(nullptr);
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
