// The launcher in-process, in a drive root of its own. The main program, the applications and
// the setup program are stand-in scripts that record their arguments beside themselves.
#include "Bookmarks.h"
#include "ChildProcess.h"
#include "Clock.h"
#include "DataDelete.h"
#include "DebugLog.h"
#include "HostPath.h"
#include "LauncherProgram.h"
#include "LauncherPrompt.h"
#include "LayoutFaults.h"
#include "LogRecorder.h"
#include "MainProgramStart.h"
#include "MainWindow.h"
#include "Screenshot.h"
#include "TestDrives.h"
#include "UpdateDialog.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

// A script that writes its argument count and arguments, a line each, to `record` beside
// itself, then does `more`.
void writeStandIn(const QString& hostPath, const QString& record, const QString& more = {}) {
    QDir().mkpath(QFileInfo(hostPath).absolutePath());
    QFile file(hostPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QString("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"$(dirname \"$0\")/" + record +
                       "\"\n" + more)
                   .toUtf8());
    file.close();
    file.setPermissions(file.permissions() | QFile::ExeOwner);
}

QByteArray contents(const QString& hostPath) {
    QFile file(hostPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& hostPath, const QByteArray& content) {
    QDir().mkpath(QFileInfo(hostPath).absolutePath());
    QFile file(hostPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// Every control inside its parent, none over another of the same parent, no text cut. The
// launcher fits a long caption to its button, down to a small size.
void checkNothingCut(QWidget* window) {
    const QStringList faults = layoutFaults(window, {10, 48});
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(", ")));
}

// The launcher as the user starts it, from `folder` below the drive root; messages are
// recorded instead of shown.
class Launcher {
public:
    explicit Launcher(const QString& folderName = "Orlent") {
        folder = drives.root() + '/' + folderName;
        QDir().mkpath(folder);
        LauncherPrompt::setMessageHandler([this](const QString& text) { messages << text; });
    }
    ~Launcher() {
        program.reset();
        LauncherPrompt::setMessageHandler(nullptr);
        MainProgramStart::setRunner(nullptr);
    }

    void start() {
        program = std::make_unique<LauncherProgram>(HostPath::fromHost(folder + "/OrlentLauncher"));
        program->start();
        ended = std::make_unique<QSignalSpy>(&window(), &MainWindow::ended);
    }
    MainWindow& window() { return program->window(); }

    // A finger on the button: it must be visible and enabled.
    static bool press(QWidget* window, const char* name) {
        auto* button = window->findChild<QPushButton*>(name);
        if (!button || !button->isVisible() || !button->isEnabled())
            return false;
        QTest::mouseClick(button, Qt::LeftButton);
        return true;
    }
    bool press(const char* name) { return press(&window(), name); }

    template <typename Dialog> Dialog* openDialog() {
        for (Dialog* dialog : window().findChildren<Dialog*>())
            if (dialog->isVisible())
                return dialog;
        return nullptr;
    }

    QByteArray settingsFile() const { return drives.readSettingsFile("OrlentLaunch.ini"); }

    TestDrives drives;
    LogRecorder log;
    QString folder; // host form
    QStringList messages;
    std::unique_ptr<LauncherProgram> program;
    std::unique_ptr<QSignalSpy> ended;
};

// Catches the pages the launcher opens with the desktop.
class PageCatcher : public QObject {
    Q_OBJECT
public:
    PageCatcher() { QDesktopServices::setUrlHandler("https", this, "open"); }
    ~PageCatcher() override { QDesktopServices::unsetUrlHandler("https"); }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

} // namespace

class TestLauncher : public QObject {
    Q_OBJECT
private slots:
    void startsTheMainProgram_data();
    void startsTheMainProgram();
    void applications();
    void deletes_data();
    void deletes();
    void deleteFaults_data();
    void deleteFaults();
    void update_data();
    void update();
};

void TestLauncher::startsTheMainProgram_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("mainProgram");
    QTest::addColumn<int>("modePresses");
    QTest::addColumn<bool>("titleBar"); // ended by the title bar, not "終了"
    QTest::addColumn<QByteArray>("arguments");
    QTest::newRow("mode 0") << "Orlent" << true << 0 << false << QByteArray("0\n");
    QTest::newRow("mode 1") << "Orlent" << true << 1 << true << QByteArray("1\nd\n");
    QTest::newRow("mode toggled back") << "Orlent" << true << 2 << false << QByteArray("0\n");
    QTest::newRow("blank in the folder")
        << "Orlent Launcher" << true << 1 << false << QByteArray("1\nd\n");
    QTest::newRow("no main program") << "Orlent" << false << 1 << true << QByteArray();
}

void TestLauncher::startsTheMainProgram() {
    QFETCH(QString, folder);
    QFETCH(bool, mainProgram);
    QFETCH(int, modePresses);
    QFETCH(bool, titleBar);
    QFETCH(QByteArray, arguments);
    Launcher launcher(folder);
    if (mainProgram)
        writeStandIn(launcher.folder + "/Vesperix", "arguments");
    launcher.start();
    QVERIFY(QTest::qWaitForWindowExposed(&launcher.window()));
    QCOMPARE(launcher.window().windowTitle(), QString("Orlentランチャー"));
    saveScreenshot(&launcher.window(), "MainWindow");
    checkNothingCut(&launcher.window());

    for (int press = 0; press < modePresses; ++press)
        QVERIFY(launcher.press("pushButton_17"));
    const int mode = modePresses % 2;
    QCOMPARE(launcher.window().findChild<QPushButton*>("pushButton_17")->styleSheet(),
             QString(mode ? "color: white;background-color: rgb(0, 170, 127)"
                          : "color: white;background-color: rgb(0, 85, 127)"));

    QStringList visibleWhileRunning;
    QString started;
    MainProgramStart::setRunner([&](const QString& program, const QStringList& arguments) {
        started = program;
        visibleWhileRunning << (launcher.window().isVisible() ? "shown" : "hidden");
        return ChildProcess::runAndWait(program, arguments);
    });
    QVERIFY(launcher.press("pushButton"));
    const QString expected = HostPath::fromHost(launcher.folder) + "\\Vesperix.exe";
    QVERIFY(launcher.log.contains(expected));
    QVERIFY(launcher.window().isVisible());
    if (mainProgram) {
        QCOMPARE(started, expected);
        QCOMPARE(visibleWhileRunning, QStringList{"hidden"});
        QCOMPARE(contents(launcher.folder + "/arguments"), arguments);
        QVERIFY(launcher.messages.isEmpty());
    } else {
        QVERIFY(started.isEmpty());
        QCOMPARE(launcher.messages, QStringList{"spawnlエラー"});
        QVERIFY(launcher.log.contains("spawnl error " + expected));
    }

    if (titleBar)
        launcher.window().close();
    else
        QVERIFY(launcher.press("pushButton_10"));
    QCOMPARE(launcher.ended->count(), 1);
    QVERIFY(!launcher.window().isVisible());
    QVERIFY(launcher.settingsFile().endsWith("mode " + QByteArray::number(mode) + "\n"));
}

void TestLauncher::applications() {
    Launcher launcher;
    const QString tool = launcher.drives.root() + "/D/my apps/100% $x 'q' &日本/tool.exe";
    const QString toolFolder = QFileInfo(tool).absolutePath();
    writeStandIn(tool, "arguments", "sleep 1\necho lived > \"$(dirname \"$0\")/lived\"\n");
    launcher.start();

    // Registered through the file dialog, which the user answers.
    QVERIFY(launcher.press("pushButton_11"));
    auto* dialog = launcher.openDialog<QFileDialog>();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QString("ファイルを開く"));
    QCOMPARE(dialog->directory().absolutePath(), QString("/"));
    QCOMPARE(dialog->nameFilters(), (QStringList{"すべて(*.*)", "実行ファイル(*.exe)"}));
    QCOMPARE(dialog->selectedNameFilter(), QString("実行ファイル(*.exe)"));
    dialog->selectFile(tool);
    QMetaObject::invokeMethod(dialog, "accept");
    LauncherSettings stored;
    stored.load();
    QCOMPARE(QFileInfo(HostPath::toHost(stored.appName[0])).canonicalFilePath(),
             QFileInfo(tool).canonicalFilePath());
    auto* appButton = launcher.window().findChild<QPushButton*>("pushButton_5");
    QVERIFY(!appButton->icon().isNull());
    QVERIFY(appButton->text().isEmpty());
    QVERIFY(launcher.window().findChild<QPushButton*>("pushButton_6")->icon().isNull());

    // The shell must take every character of the folder's name literally.
    QVERIFY(launcher.press("pushButton_5"));
    QByteArray line = QFileInfo(HostPath::toHost(stored.appName[0])).absoluteFilePath().toUtf8();
    line.replace("$", "\\$");
    QCOMPARE(launcher.drives.readSettingsFile("app1.bat"), "\"" + line + "\"\n");
    QTRY_COMPARE_WITH_TIMEOUT(contents(toolFolder + "/arguments"), QByteArray("0\n"), 10000);

    // The application lives on when the launcher has ended.
    QVERIFY(launcher.press("pushButton_10"));
    launcher.program.reset();
    QTRY_COMPARE_WITH_TIMEOUT(contents(toolFolder + "/lived"), QByteArray("lived\n"), 10000);

    launcher.start();
    QVERIFY(!launcher.window().findChild<QPushButton*>("pushButton_5")->icon().isNull());
    QVERIFY(launcher.press("pushButton_18"));
    QVERIFY(launcher.window().findChild<QPushButton*>("pushButton_5")->icon().isNull());
    QVERIFY(launcher.settingsFile().contains("\nappName1 \n"));
}

namespace {

const QDateTime deleteNow(QDate(2026, 3, 20), QTime(21, 0));

// The data folder on E: a young and an old file of each class, and files never deleted.
const QStringList youngFiles{"C0002.tif", "D0002.tif", "F0002.tif", "K0002.tif", "M0002.tif"};
const QStringList oldFiles{"C0001.tif", "D0001.tif", "F0001.tif", "K0001.tif", "M0001.tif"};
const QStringList keptFiles{"M0003.rpt", "Q0001.tif"};

QString dataFile(const TestDrives& drives, const QString& name) {
    return drives.root() + "/E/VesperixData/" + name;
}

void writeImage(const TestDrives& drives, const QString& name, qint64 ageSeconds) {
    const QString path = dataFile(drives, name);
    writeFile(path, "II*\0");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(deleteNow.addSecs(-ageSeconds), QFileDevice::FileModificationTime));
}

// The launcher with the data drive E in the main program's settings, changed to it after
// the launcher started, as the main program does.
void startOnDriveE(Launcher& launcher) {
    Clock::setScale(0.001); // the ages stay to the second while the test runs
    Clock::setStartDate(deleteNow);
    launcher.drives.writeSettingsFile("Vesperix.ini", "drive 67\n");
    launcher.start();
    launcher.drives.writeSettingsFile("Vesperix.ini", "drive 69\n");
}

QStringList remaining(const TestDrives& drives) {
    return QDir(drives.root() + "/E/VesperixData")
        .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
}

} // namespace

void TestLauncher::deletes_data() {
    QTest::addColumn<int>("option");
    QTest::addColumn<qint64>("youngAge");
    QTest::addColumn<qint64>("oldAge");
    QTest::addColumn<QString>("deletedClasses"); // first letters of the deleted young files
    QTest::addColumn<QString>("deletedOld");     // and of the deleted old ones
    QTest::newRow("0 all") << 0 << 3600ll << 172800ll << "CDFKM"
                           << "CDFKM";
    QTest::newRow("1 pictures") << 1 << 3600ll << 172800ll << "CKM"
                                << "CKM";
    QTest::newRow("2 old") << 2 << 3600ll << 172800ll << ""
                           << "CDFKM";
    QTest::newRow("3 old pictures") << 3 << 3600ll << 172800ll << ""
                                    << "CKM";
    QTest::newRow("4 young") << 4 << 3600ll << 172800ll << "CDFKM"
                             << "";
    QTest::newRow("5 young pictures") << 5 << 3600ll << 172800ll << "CKM"
                                      << "";
    QTest::newRow("6 darks") << 6 << 3600ll << 172800ll << "D"
                             << "D";
    QTest::newRow("7 flats") << 7 << 3600ll << 172800ll << "F"
                             << "F";
    QTest::newRow("2 at the day's edge") << 2 << 86400ll << 86401ll << ""
                                         << "CDFKM";
    QTest::newRow("4 at the day's edge") << 4 << 86400ll << 86401ll << "CDFKM"
                                         << "";
}

void TestLauncher::deletes() {
    QFETCH(int, option);
    QFETCH(qint64, youngAge);
    QFETCH(qint64, oldAge);
    QFETCH(QString, deletedClasses);
    QFETCH(QString, deletedOld);
    Launcher launcher;
    for (const QString& name : youngFiles + keptFiles)
        writeImage(launcher.drives, name, youngAge);
    for (const QString& name : oldFiles)
        writeImage(launcher.drives, name, oldAge);
    startOnDriveE(launcher);

    QVERIFY(launcher.press("pushButton_3"));
    QPointer<DataDelete> dialog = launcher.openDialog<DataDelete>();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QString("データの削除"));
    const QString optionButton =
        option == 0 ? "pushButton" : QString("pushButton_%1").arg(option + 1);
    QVERIFY(Launcher::press(dialog, qPrintable(optionButton)));
    QCOMPARE(dialog->findChild<QPushButton*>(optionButton)->styleSheet(), QString("color: red;"));
    QVERIFY(Launcher::press(dialog, "pushButton_10"));

    QStringList expected = keptFiles;
    for (const QString& name : youngFiles)
        if (!deletedClasses.contains(name.at(0)))
            expected << name;
    for (const QString& name : oldFiles)
        if (!deletedOld.contains(name.at(0)))
            expected << name;
    expected.sort();
    QCOMPARE(remaining(launcher.drives), expected);
    const int deleted = youngFiles.size() + oldFiles.size() + keptFiles.size() - expected.size();
    QVERIFY(launcher.log.contains(QString("file no = %1").arg(deleted)));
    QCOMPARE(launcher.messages, QStringList{"削除完了"});
    if (option == 0) {
        QVERIFY(launcher.log.contains("delete E:\\VesperixData\\C0001.tif"));
        saveScreenshot(dialog, "DataDelete");
        checkNothingCut(dialog);
    }

    QVERIFY(Launcher::press(dialog, "pushButton_12"));
    QVERIFY(!dialog || !dialog->isVisible());
    QVERIFY(
        launcher.settingsFile().contains("\ndeleteOption " + QByteArray::number(option) + "\n"));
}

void TestLauncher::deleteFaults_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("message");
    // C0001.tif becomes a folder with a file in it after the files were chosen.
    QTest::newRow("not deletable")
        << "folder" << QStringList{"C0001.tif"} << "delete error E:\\VesperixData\\C0001.tif"
        << "削除できないファイルがあります。";
    // "中止" pressed while the first file is deleted.
    QTest::newRow("stop") << "stop" << QStringList{"C0002.tif", "D0001.tif", "M0001.tif"}
                          << "Stop Delete"
                          << "削除完了";
}

void TestLauncher::deleteFaults() {
    QFETCH(QString, fault);
    QFETCH(QStringList, left);
    QFETCH(QString, line);
    QFETCH(QString, message);
    Launcher launcher;
    for (const char* name : {"C0001.tif", "C0002.tif", "D0001.tif", "M0001.tif"})
        writeImage(launcher.drives, name, 3600);
    startOnDriveE(launcher);
    QVERIFY(launcher.press("pushButton_3"));
    auto* dialog = launcher.openDialog<DataDelete>();
    QVERIFY(dialog);
    QVERIFY(Launcher::press(dialog, "pushButton"));

    const QString first = dataFile(launcher.drives, "C0001.tif");
    const int sink = DebugLog::attachSink([&](const QString& logLine) {
        if (fault == "folder" && logLine.startsWith("file no = ")) {
            QFile::remove(first);
            QDir().mkpath(first);
            writeFile(first + "/inside.tif", "x");
        }
        if (fault == "stop" && logLine == "delete E:\\VesperixData\\C0001.tif")
            QTimer::singleShot(0, dialog->findChild<QPushButton*>("pushButton_11"),
                               &QPushButton::click);
    });
    QVERIFY(Launcher::press(dialog, "pushButton_10"));
    DebugLog::detachSink(sink);

    QCOMPARE(remaining(launcher.drives), left);
    QVERIFY(launcher.log.contains(line));
    QCOMPARE(launcher.messages, QStringList{message});
}

void TestLauncher::update_data() {
    QTest::addColumn<QString>("setupDrives");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("startedOn");
    QTest::addColumn<QString>("message");
    QTest::newRow("setup on E and G") << "EG"
                                      << "pushButton_2"
                                      << "E"
                                      << "";
    QTest::newRow("no setup") << ""
                              << "pushButton_2"
                              << ""
                              << "アップデートファイルが見つかりません";
    QTest::newRow("web page") << ""
                              << "pushButton"
                              << ""
                              << "";
}

void TestLauncher::update() {
    QFETCH(QString, setupDrives);
    QFETCH(QString, button);
    QFETCH(QString, startedOn);
    QFETCH(QString, message);
    Launcher launcher;
    for (QChar drive : setupDrives)
        writeStandIn(launcher.drives.root() + '/' + drive + "/vevazazizir", "arguments");
    PageCatcher pages;
    launcher.start();

    QVERIFY(launcher.press("pushButton_4"));
    QPointer<UpdateDialog> dialog = launcher.openDialog<UpdateDialog>();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QString("アップデート"));
    saveScreenshot(dialog, "UpdateDialog");
    checkNothingCut(dialog);
    QVERIFY(Launcher::press(dialog, qPrintable(button)));

    const bool ends = message.isEmpty();
    QCOMPARE(launcher.messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(launcher.ended->count(), ends ? 1 : 0);
    QCOMPARE(launcher.window().isVisible(), !ends);
    QCOMPARE(dialog && dialog->isVisible(), !ends);
    QCOMPARE(pages.opened,
             button == "pushButton" ? QList<QUrl>{QUrl(Bookmarks::updatePage())} : QList<QUrl>());
    if (!startedOn.isEmpty()) {
        QVERIFY(launcher.log.contains("start " + startedOn + ":\\vevazazizir.exe"));
        QTRY_COMPARE_WITH_TIMEOUT(contents(launcher.drives.root() + '/' + startedOn + "/arguments"),
                                  QByteArray("0\n"), 10000);
    }
    for (QChar drive : setupDrives)
        if (drive != startedOn)
            QVERIFY(!QFile::exists(launcher.drives.root() + '/' + drive + "/arguments"));
}

QTEST_MAIN(TestLauncher)
#include "tst_launcher.moc"
