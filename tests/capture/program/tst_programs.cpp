#include "CameraDevice.h"
#include "CameraLabel.h"
#include "CameraLibraries.h"
#include "MainWindow.h"
#include "PhotoHistory.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "SimObservatory.h"
#include "StartUp.h"
#include "TestDrives.h"
#include "TestObservatory.h"

#include <QApplication>
#include <QMutex>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestPrograms : public QObject {
    Q_OBJECT
private slots:
    void programStartsInTheDrivesRoot_data();
    void programStartsInTheDrivesRoot();
    void startUpOpensTheChosenCamera();
    void startUpWithoutCamera_data();
    void startUpWithoutCamera();
    void exitSavesTheSettings();
};

void TestPrograms::programStartsInTheDrivesRoot_data() {
    QTest::addColumn<QString>("program");
    QTest::newRow("Vesperix") << "Vesperix";
    QTest::newRow("Axilo") << "Axilo";
    QTest::newRow("OrlentLauncher") << "OrlentLauncher";
}

void TestPrograms::programStartsInTheDrivesRoot() {
    QFETCH(QString, program);
    TestDrives drives;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VESPERIX_DRIVES", drives.root());
    environment.insert("VESPERIX_SIM", "1");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(qEnvironmentVariable("VESPERIX_BIN_DIR") + '/' + program, QStringList());
    QVERIFY2(process.waitForStarted(), qPrintable(process.errorString()));

    QTRY_VERIFY_WITH_TIMEOUT(
        drives.readSettingsFile(program + ".log").contains("Make Dir VesperixIni\n"), 20000);
    if (program == "Vesperix") // the simulated shutter adapter is found at start-up
        QTRY_VERIFY_WITH_TIMEOUT(
            drives.readSettingsFile(program + ".log").contains("find DigiShuuter\n"), 20000);
    // Still running: its window is up and its loop waits for the user.
    QVERIFY(!process.waitForFinished(200));
    process.kill();
    process.waitForFinished();
}

void TestPrograms::exitSavesTheSettings() {
    TestDrives drives;
    drives.writeSettingsFile("Vesperix.ini", "gain 7\ntimRep 12\nraBase1000 1000\n");
    ProcessState state;
    SettingsRecord settings;
    PhotoHistory photoHistory;
    state.settings = &settings;
    loadStartUpSettings(settings, photoHistory);
    QCOMPARE(settings.gain, 7);
    state.syncPointRa = 83.8221; // where the mount was synced last
    state.syncPointDec = -5.3911;

    MainWindow window(state);
    bool exited = false;
    window.exitAction = [&] { exited = true; };
    window.show();
    QTest::mouseClick(window.findChild<QPushButton*>("pushButton_12"), Qt::LeftButton);
    QTest::mouseClick(window.findChild<QPushButton*>("pushButton"), Qt::LeftButton);
    QVERIFY(exited);
    const QByteArray saved = drives.readSettingsFile("Vesperix.ini");
    QVERIFY(saved.startsWith("gain 7\n"));
    QVERIFY(saved.contains("\ntimRep 12\ntimMin 3\n"));
    QVERIFY(saved.contains("\nraBase1000 83822\ndecBase1000 -5391\n"));
}

void TestPrograms::startUpOpensTheChosenCamera() {
    TestDrives drives;
    TestObservatory sky({"ASI294MC", "ASI120MM", "SV605CC"});
    SettingsRecord settings;
    settings.setDefaults();
    QMutex stateMutex;
    CameraDevice camera(stateMutex, qEnvironmentVariable("VESPERIX_BIN_DIR"), settings);
    // The user picks the third camera in the list.
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        saveScreenshot(dialog, "CameraListAtStartUp");
        QTest::mouseClick(dialog->findChild<QPushButton*>("pushButton_3"), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>("pushButton_3"), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>("pushButton"), Qt::LeftButton);
    });
    QVERIFY(chooseAndOpenCamera(camera, false, qEnvironmentVariable("VESPERIX_BIN_DIR"), nullptr));
    QCOMPARE(camera.vendor(), int(CameraDevice::Svbony));
    QCOMPARE(cameraLabelText(camera, false),
             QString("SVBONY SV605CC(Color) width=3008 height=3008, bayer=0"));
    ProcessState state;
    state.settings = &settings;
    state.camera = &camera;
    state.noCamera = false;
    MainWindow window(state);
    window.setCameraLabel(cameraLabelText(camera, false));
    window.show();
    saveScreenshot(&window, "MainWindowWithCamera");
}

void TestPrograms::startUpWithoutCamera_data() {
    QTest::addColumn<QString>("cameras");
    QTest::addColumn<bool>("offered");
    QTest::addColumn<QString>("label");
    QTest::newRow("none") << "" << false << "No Camera";
    QTest::newRow("only a DSLR") << "EOS6D" << false << "No Camera";
    QTest::newRow("one camera, no dialog")
        << "POSEIDONC" << true << "Poseidon-C PRO,IMX571(Color) width=6240 height=4176, bayer=0";
}

void TestPrograms::startUpWithoutCamera() {
    QFETCH(QString, cameras);
    QFETCH(bool, offered);
    QFETCH(QString, label);
    TestDrives drives;
    TestObservatory sky(cameras.split(',', Qt::SkipEmptyParts));
    SettingsRecord settings;
    settings.setDefaults();
    QMutex stateMutex;
    CameraDevice camera(stateMutex, qEnvironmentVariable("VESPERIX_BIN_DIR"), settings);
    QCOMPARE(chooseAndOpenCamera(camera, false, qEnvironmentVariable("VESPERIX_BIN_DIR"), nullptr),
             offered);
    QCOMPARE(cameraLabelText(camera, !offered), label);
}

QTEST_MAIN(TestPrograms)
#include "tst_programs.moc"
