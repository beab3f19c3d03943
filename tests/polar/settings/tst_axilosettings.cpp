#include "AxiloSettings.h"
#include "LogRecorder.h"
#include "TestDrives.h"

#include <QtTest>

namespace {

// The file a first start writes; the main program reads its site and time-zone keys.
const char* const defaultsFile = "gain 1\nexpo 1\nstar 1\nlong1 139\nlong2 0\nlati1 38\n"
                                 "lati2 0\nplong1_0 0\nplong2_0 0\nplati1_0 0\nplati2_0 0\n"
                                 "plongWE_0 0\nplong1_1 0\nplong2_1 0\nplati1_1 0\nplati2_1 0\n"
                                 "plongWE_1 0\nplong1_2 0\nplong2_2 0\nplati1_2 0\nplati2_2 0\n"
                                 "plongWE_2 0\nplong1_3 0\nplong2_3 0\nplati1_3 0\nplati2_3 0\n"
                                 "plongWE_3 0\ngamma 5\nbright 5\ncontrast 3\nflat 1\ncenX 640\n"
                                 "cenY 480\nfocalI 25\nfocalF 0\ntime 9\nlongWE 0\n";

AxiloSettings atItsPath() {
    AxiloSettings settings;
    settings.ensurePath();
    return settings;
}

} // namespace

class TestAxiloSettings : public QObject {
    Q_OBJECT
private slots:
    void firstStartWritesTheDefaultsInOrder();
    void valuesOutsideTheirRangeAreIgnored_data();
    void valuesOutsideTheirRangeAreIgnored();
    void unwritableFileIsLoggedAndTheOldOneKept_data();
    void unwritableFileIsLoggedAndTheOldOneKept();
};

void TestAxiloSettings::firstStartWritesTheDefaultsInOrder() {
    TestDrives drives;
    LogRecorder log;
    AxiloSettings settings = atItsPath();
    QVERIFY(log.contains("Make Dir VesperixIni"));
    settings.load();
    settings.save();
    QCOMPARE(QString(drives.readSettingsFile("Axilo.ini")), QString(defaultsFile));
}

void TestAxiloSettings::valuesOutsideTheirRangeAreIgnored_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("cenX beyond the frame")
        << QByteArray("cenX 1280\n") << "cenX=1280" << QByteArray("\ncenX 640\n");
    QTest::newRow("west of UTC") << QByteArray("time\t -9\n") << "time=-9"
                                 << QByteArray("\ntime -9\n");
    QTest::newRow("longWE is a flag")
        << QByteArray("longWE 5\n") << "longWE=5" << QByteArray("\nlongWE 0\n");
}

void TestAxiloSettings::valuesOutsideTheirRangeAreIgnored() {
    QFETCH(QByteArray, line);
    QFETCH(QString, logged);
    QFETCH(QByteArray, written);
    TestDrives drives;
    drives.writeSettingsFile("Axilo.ini", line);
    LogRecorder log;
    AxiloSettings settings = atItsPath();
    settings.load();
    settings.save();
    QVERIFY(log.contains(logged));
    QVERIFY2(drives.readSettingsFile("Axilo.ini").contains(written), written.constData());
}

void TestAxiloSettings::unwritableFileIsLoggedAndTheOldOneKept_data() {
    QTest::addColumn<QString>("oldFile");
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::newRow("a folder in its place") << "Axilo.ini/old" << false;
    QTest::newRow("read-only folder") << "Axilo.ini" << true;
}

void TestAxiloSettings::unwritableFileIsLoggedAndTheOldOneKept() {
    QFETCH(QString, oldFile);
    QFETCH(bool, readOnlyFolder);
    TestDrives drives;
    AxiloSettings settings = atItsPath();
    drives.writeSettingsFile(oldFile, "gain 7\n");
    const QString folder = drives.settingsFile("");
    const QFile::Permissions permissions = QFile::permissions(folder);
    if (readOnlyFolder) {
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        QFile probe(folder + "probe");
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(folder, permissions);
            QSKIP("folder permissions do not bind this user");
        }
    }
    LogRecorder log;
    settings.save();
    QFile::setPermissions(folder, permissions);
    QVERIFY(log.contains("file open error"));
    QCOMPARE(drives.readSettingsFile(oldFile), QByteArray("gain 7\n"));
}

QTEST_GUILESS_MAIN(TestAxiloSettings)
#include "tst_axilosettings.moc"
