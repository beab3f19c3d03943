#include "HostPath.h"
#include "TestDrives.h"

#include <QDir>
#include <QtTest>

class TestHostPath : public QObject {
    Q_OBJECT
private slots:
    void mapsWindowsPaths_data();
    void mapsWindowsPaths();
    void createsDriveCOnFirstUseOnly();
    void listsExistingDrivesInLetterOrder();
    void defaultRootIsInTheUsersDataFolder();
};

void TestHostPath::mapsWindowsPaths_data() {
    QTest::addColumn<QString>("windows");
    QTest::addColumn<QString>("belowRoot");
    QTest::newRow("settings file") << "C:\\OrlentVesperixIni\\Vesperix.ini"
                                   << "/C/OrlentVesperixIni/Vesperix.ini";
    QTest::newRow("lower-case drive") << "d:\\VesperixData\\M00001.tif"
                                      << "/D/VesperixData/M00001.tif";
    QTest::newRow("forward slashes") << "E:/VesperixData/x"
                                     << "/E/VesperixData/x";
    QTest::newRow("drive root") << "F:\\"
                                << "/F";
    QTest::newRow("bare drive") << "F:"
                                << "/F";
    QTest::newRow("doubled separators") << "C:\\\\a\\\\b"
                                        << "/C/a/b";
    QTest::newRow("dot") << "C:\\.\\a\\.\\b"
                         << "/C/a/b";
    QTest::newRow("dot-dot inside") << "C:\\a\\..\\b"
                                    << "/C/b";
    QTest::newRow("dot-dot cannot leave the drive") << "C:\\..\\..\\etc\\passwd"
                                                    << "/C/etc/passwd";
    QTest::newRow("file name from a settings file") << "D:\\VesperixData\\..\\..\\..\\x"
                                                    << "/D/x";
}

void TestHostPath::mapsWindowsPaths() {
    QFETCH(QString, windows);
    QFETCH(QString, belowRoot);
    TestDrives drives;
    QCOMPARE(HostPath::toHost(windows), drives.root() + belowRoot);
}

void TestHostPath::createsDriveCOnFirstUseOnly() {
    TestDrives drives;
    QVERIFY(!QDir(drives.root() + "/C").exists());
    HostPath::toHost("C:\\OrlentVesperixIni\\Vesperix.ini");
    QVERIFY(QDir(drives.root() + "/C").exists());
    HostPath::toHost("D:\\VesperixData");
    QVERIFY(!QDir(drives.root() + "/D").exists());
    QCOMPARE(HostPath::toHost("relative\\PNG\\rotate1.png"), QString("relative/PNG/rotate1.png"));
}

void TestHostPath::listsExistingDrivesInLetterOrder() {
    TestDrives drives;
    for (const char* letter : {"M", "E", "D", "N", "A"})
        QDir().mkpath(drives.root() + '/' + letter);
    QFile notADrive(drives.root() + "/F");
    QVERIFY(notADrive.open(QIODevice::WriteOnly));
    notADrive.close();

    const QList<QChar> expected = {'C', 'D', 'E', 'M'};
    QCOMPARE(HostPath::existingDrives(), expected);
    QVERIFY(HostPath::driveExists('d'));
    QVERIFY(!HostPath::driveExists('F'));
}

void TestHostPath::defaultRootIsInTheUsersDataFolder() {
    const QByteArray previous = qgetenv("VESPERIX_DRIVES");
    qunsetenv("VESPERIX_DRIVES");
    const QString root = HostPath::drivesRoot();
    qputenv("VESPERIX_DRIVES", previous);
    QCOMPARE(root, QDir::homePath() + "/.local/share/Vesperix/drives");
}

QTEST_GUILESS_MAIN(TestHostPath)
#include "tst_hostpath.moc"
