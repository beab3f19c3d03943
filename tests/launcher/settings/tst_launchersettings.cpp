#include "Bookmarks.h"
#include "LauncherApps.h"
#include "LauncherSettings.h"
#include "LogRecorder.h"
#include "TestDrives.h"

#include <QtTest>

namespace {

const QByteArray defaultsFile = "destDrive 0\ncopyOption 0\ndeleteOption 0\nappName1 \n"
                                "appName2 \nappName3 \nappName4 \nmode 0\n";

// Sets the code page of the settings files for as long as it lives.
class CodePage {
public:
    explicit CodePage(const char* name) { qputenv("VESPERIX_CODEPAGE", name); }
    ~CodePage() { qunsetenv("VESPERIX_CODEPAGE"); }
};

} // namespace

class TestLauncherSettings : public QObject {
    Q_OBJECT
private slots:
    void readThenWritten_data();
    void readThenWritten();
    void longJapanesePathReachesTheMainProgram();
    void pathsTheCodePageCannotHoldAreRefused_data();
    void pathsTheCodePageCannotHoldAreRefused();
    void dataDriveFollowsTheMainProgram_data();
    void dataDriveFollowsTheMainProgram();
    void bookmarkLines_data();
    void bookmarkLines();
};

void TestLauncherSettings::readThenWritten_data() {
    QTest::addColumn<QByteArray>("file"); // null: no file
    QTest::addColumn<QString>("logged");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("written in its own order")
        << QByteArray("mode 1\nappName2 C:\\my apps\\a b.exe\ndeleteOption 7\ncopyOption 3\n"
                      "destDrive 69\n")
        << "appName2=C:\\my apps\\a b.exe"
        << QByteArray("destDrive 69\ncopyOption 3\ndeleteOption 7\nappName1 \n"
                      "appName2 C:\\my apps\\a b.exe\nappName3 \nappName4 \nmode 1\n");
    QTest::newRow("out of range ignored")
        << QByteArray("destDrive 257\nmode 2\ncopyOption -1\n") << "destDrive=257" << defaultsFile;
    QTest::newRow("CR LF lines") << QByteArray(
                                        "destDrive 68\r\nappName1 \tC:\\a\\b.exe\r\nmode 1\r\n")
                                 << "mode=1"
                                 << QByteArray("destDrive 68\ncopyOption 0\ndeleteOption 0\n"
                                               "appName1 C:\\a\\b.exe\nappName2 \nappName3 \n"
                                               "appName4 \nmode 1\n");
    // A NUL ends a line as in a C string.
    QTest::newRow("garbage") << QByteArray("\x01\xff garbage\nmode\nmode x\ndestDrive -\n") +
                                    QByteArray(1, '\0') + "mode 1\n"
                             << QString() << defaultsFile;
    QTest::newRow("missing file") << QByteArray() << "iniFile open error" << defaultsFile;
}

void TestLauncherSettings::readThenWritten() {
    QFETCH(QByteArray, file);
    QFETCH(QString, logged);
    QFETCH(QByteArray, written);
    TestDrives drives;
    if (!file.isNull())
        drives.writeSettingsFile("OrlentLaunch.ini", file);
    else
        drives.writeSettingsFile("other.ini", "");
    LogRecorder log;
    LauncherSettings settings;
    settings.load();
    QVERIFY(settings.save());
    if (!logged.isEmpty())
        QVERIFY2(log.contains(logged), qPrintable(log.lines().join('|')));
    QVERIFY(log.contains("init file write"));
    QCOMPARE(drives.readSettingsFile("OrlentLaunch.ini"), written);
}

// A path past one 98-byte piece, in the users' code page, as the main program finds it.
void TestLauncherSettings::longJapanesePathReachesTheMainProgram() {
    TestDrives drives;
    CodePage shiftJis("Shift-JIS");
    drives.writeSettingsFile("OrlentLaunch.ini", "");
    QString path = "C:\\Program Files\\天体画像処理\\stlimg\\";
    path += QString(150 - path.size() - 4, QChar(0x661F)) + ".exe"; // 星
    QCOMPARE(path.size(), 150);
    QVERIFY(LauncherSettings::canStore(path));

    LauncherSettings settings;
    settings.appName[2] = path;
    settings.mode = 1;
    QVERIFY(settings.save());
    LauncherSettings reread;
    reread.load();
    QCOMPARE(reread.appName[2], path);
    QCOMPARE(reread.mode, 1);

    const LauncherApps apps = LauncherApps::read();
    QCOMPARE(apps.commandLines[2], path);
    QVERIFY(apps.hasStellaImage);
    QCOMPARE(apps.stellaImagePath, path);
}

void TestLauncherSettings::pathsTheCodePageCannotHoldAreRefused_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("storable");
    QTest::newRow("Japanese") << "C:\\アプリ\\星図.exe" << true;
    QTest::newRow("accent") << "C:\\Café\\app.exe" << false;
    QTest::newRow("line break") << "C:\\a\nmode 1.exe" << false;
}

void TestLauncherSettings::pathsTheCodePageCannotHoldAreRefused() {
    QFETCH(QString, path);
    QFETCH(bool, storable);
    CodePage shiftJis("Shift-JIS");
    QCOMPARE(LauncherSettings::canStore(path), storable);
}

void TestLauncherSettings::dataDriveFollowsTheMainProgram_data() {
    QTest::addColumn<QByteArray>("file"); // null: no file
    QTest::addColumn<QChar>("drive");
    QTest::newRow("missing file") << QByteArray() << QChar('C');
    QTest::newRow("E, CR LF") << QByteArray("gain 3\r\ndrive 69\r\ntemp 0\r\n") << QChar('E');
    QTest::newRow("out of range") << QByteArray("drive 101\n") << QChar('C');
    QTest::newRow("no drive letter") << QByteArray("drive 66\n") << QChar('C');
}

void TestLauncherSettings::dataDriveFollowsTheMainProgram() {
    QFETCH(QByteArray, file);
    QFETCH(QChar, drive);
    TestDrives drives;
    drives.writeSettingsFile("Vesperix.ini", "drive 70\n");
    QCOMPARE(LauncherSettings::dataDrive(), QChar('F'));
    // Read again on each call: the main program may have changed it since.
    if (file.isNull())
        QVERIFY(QFile::remove(drives.settingsFile("Vesperix.ini")));
    else
        drives.writeSettingsFile("Vesperix.ini", file);
    QCOMPARE(LauncherSettings::dataDrive(), drive);
}

void TestLauncherSettings::bookmarkLines_data() {
    QTest::addColumn<QByteArray>("file"); // null: no file
    QTest::addColumn<QString>("thirdName");
    QTest::addColumn<QString>("thirdAddress");
    const QByteArray twoBookmarks = "Sky\nhttps://a.example/\nMoon\nhttps://b.example/\n";
    QTest::newRow("five lines") << twoBookmarks + "Sun\n"
                                << "Sun" << QString();
    QTest::newRow("four lines") << twoBookmarks << QString() << QString();
    const QString longAddress = "https://c.example/" + QString(120, 'q');
    QTest::newRow("CR LF, long address")
        << twoBookmarks + "Stars\r\n" + longAddress.toLatin1() + "\r\n"
        << "Stars" << longAddress;
    QTest::newRow("missing file, created")
        << QByteArray() << Bookmarks::defaults()[2].name << Bookmarks::defaults()[2].address;
}

void TestLauncherSettings::bookmarkLines() {
    QFETCH(QByteArray, file);
    QFETCH(QString, thirdName);
    QFETCH(QString, thirdAddress);
    TestDrives drives;
    CodePage shiftJis("Shift-JIS");
    drives.writeSettingsFile(file.isNull() ? "other.ini" : "OrlentLaunchUrl.ini", file);
    Bookmarks::load();
    // Read again: a missing file has been written by now.
    QVERIFY(QFile::exists(drives.settingsFile("OrlentLaunchUrl.ini")));
    const QVector<Bookmark> bookmarks = Bookmarks::load();
    QCOMPARE(bookmarks.size(), 3);
    QCOMPARE(bookmarks[2].name, thirdName);
    QCOMPARE(bookmarks[2].address, thirdAddress);
}

QTEST_GUILESS_MAIN(TestLauncherSettings)
#include "tst_launchersettings.moc"
