#include "MainWindow.h"
#include "PhotoHistory.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "StartUp.h"
#include "TestDrives.h"

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

class TestPrograms : public QObject {
    Q_OBJECT
private slots:
    void programStartsInTheDrivesRoot_data();
    void programStartsInTheDrivesRoot();
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
    // Still running: its window is up and its loop waits for the user.
    QVERIFY(!process.waitForFinished(200));
    process.kill();
    process.waitForFinished();
}

void TestPrograms::exitSavesTheSettings() {
    TestDrives drives;
    drives.writeSettingsFile("Vesperix.ini", "gain 7\ntimRep 12\n");
    SettingsRecord settings;
    PhotoHistory photoHistory;
    loadStartUpSettings(settings, photoHistory);
    QCOMPARE(settings.gain, 7);
    settings.timMin = 5;

    MainWindow window(settings);
    window.show();
    saveScreenshot(&window, "MainWindow");
    auto* exitButton = window.findChild<QPushButton*>("pushButton");
    QVERIFY(exitButton);
    QCOMPARE(exitButton->text(), QString("終了"));
    QTest::mouseClick(exitButton, Qt::LeftButton);

    const QByteArray saved = drives.readSettingsFile("Vesperix.ini");
    QVERIFY(saved.startsWith("gain 7\n"));
    QVERIFY(saved.contains("\ntimRep 12\ntimMin 5\n"));
}

QTEST_MAIN(TestPrograms)
#include "tst_programs.moc"
