// The launcher's copy of the data folder to another drive, driven through its dialog in a
// temporary drive root whose data drive is D.
#include "DataCopy.h"
#include "DebugLog.h"
#include "FileSizeLimit.h"
#include "LauncherPrompt.h"
#include "LauncherSettings.h"
#include "LogRecorder.h"
#include "Screenshot.h"
#include "TestDrives.h"

#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

const QString destinationStyle = "background-color:rgb(0, 0, 127);color:red";
const QString copyFailed = QStringLiteral("コピーできません。");
const QString copyDone = QStringLiteral("コピー完了");

QByteArray pattern(const QString& name, int bytes, char seed) {
    QByteArray data(bytes, Qt::Uninitialized);
    const uint start = qHash(name) + uint(seed) * 0x9e3779b9u;
    for (int i = 0; i < bytes; ++i)
        data[i] = char((start + uint(i) * 2654435761u) >> 13);
    return data;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QDateTime modifiedAt(const QString& path) {
    return QFileInfo(path).lastModified();
}

// One open copy dialog over a fresh drive root, its messages recorded.
class CopyRun {
public:
    struct Written {
        QByteArray bytes;
        QDateTime modified;
    };

    CopyRun(const QString& driveLetters, int destDrive) {
        for (QChar letter : driveLetters)
            QDir().mkpath(drives.root() + '/' + letter);
        drives.writeSettingsFile("Vesperix.ini", "drive 68\n");
        settings.destDrive = destDrive;
        LauncherPrompt::setMessageHandler([this](const QString& text) { messages << text; });
    }
    ~CopyRun() { LauncherPrompt::setMessageHandler(nullptr); }

    QString folder(QChar drive) const { return drives.root() + '/' + drive + "/VesperixData"; }

    // A file of the given size and age in a drive's data folder.
    Written write(QChar drive, const QString& name, int bytes, qint64 ageSeconds, char seed = 0) {
        QDir().mkpath(folder(drive));
        const QDateTime modified =
            QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch() - ageSeconds);
        QFile file(folder(drive) + '/' + name);
        const Written written{pattern(name, bytes, seed), modified};
        if (file.open(QIODevice::WriteOnly)) {
            file.write(written.bytes);
            file.flush(); // else closing would write and set the time anew
            file.setFileTime(modified, QFileDevice::FileModificationTime);
        }
        return written;
    }

    // The dialog reads the data drive when it opens, so it opens after the files are there.
    DataCopy& dialog() {
        if (!opened) {
            opened = std::make_unique<DataCopy>(settings);
            opened->show();
        }
        return *opened;
    }
    QPushButton* button(const QString& name) { return dialog().findChild<QPushButton*>(name); }
    void press(const QString& name) { button(name)->click(); }
    int progress() { return dialog().findChild<QProgressBar*>("progressBar")->value(); }

    TestDrives drives;
    LogRecorder log;
    LauncherSettings settings;
    QStringList messages;

private:
    std::unique_ptr<DataCopy> opened;
};

struct SourceFile {
    const char* name;
    int bytes;
    qint64 ageSeconds;
};

const char* const driveButtons[] = {"pushButton_6", "pushButton_7",  "pushButton_8",
                                    "pushButton_9", "pushButton_10", "pushButton_11"};

} // namespace

class TestLauncherCopy : public QObject {
    Q_OBJECT
private slots:
    void copies_data();
    void copies();
    void faults_data();
    void faults();
};

void TestLauncherCopy::copies_data() {
    QTest::addColumn<QString>("driveLetters");
    QTest::addColumn<int>("destDrive");
    QTest::addColumn<QString>("optionButton");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<int>("driveButtonCount");
    QTest::addColumn<QStringList>("copied");
    QTest::addColumn<QStringList>("messages");
    const QStringList all = {"C0001.tif", "D0001.tif", "F0001.tif",
                             "K0001.tif", "M0001.tif", "M0002.tif"};
    const QStringList pictures = {"C0001.tif", "K0001.tif", "M0001.tif", "M0002.tif"};
    QTest::newRow("all files to E") << "CDE" << int('E') << "pushButton"
                                    << "E" << 3 << all << QStringList{copyDone};
    QTest::newRow("same drive") << "CDE" << int('D') << "pushButton"
                                << "D" << 3 << QStringList()
                                << QStringList{
                                       QStringLiteral("コピー元とコピー先が同じドライブです。")};
    QTest::newRow("unknown stored destination") << "DE" << int('Z') << "pushButton"
                                                << "C" << 3 << all << QStringList{copyDone};
    QTest::newRow("seventh drive, pictures only") << "CDEFGHIJ" << int('I') << "pushButton_2"
                                                  << "I" << 6 << pictures << QStringList{copyDone};
}

void TestLauncherCopy::copies() {
    QFETCH(QString, driveLetters);
    QFETCH(int, destDrive);
    QFETCH(QString, optionButton);
    QFETCH(QString, destination);
    QFETCH(int, driveButtonCount);
    QFETCH(QStringList, copied);
    QFETCH(QStringList, messages);
    const QChar to = destination[0];
    CopyRun run(driveLetters, destDrive);
    QMap<QString, CopyRun::Written> sources;
    // M0002 spans two chunks; Q and ".txt" files are not the main program's images.
    const SourceFile files[] = {{"M0001.tif", 70000, 2 * 86400}, {"M0002.tif", 5 << 20, 3600},
                                {"C0001.tif", 1000, 60},         {"K0001.tif", 1, 120},
                                {"D0001.tif", 3000, 7200},       {"F0001.tif", 3000, 7300},
                                {"Q0001.tif", 500, 60},          {"M0003.txt", 500, 60}};
    for (const SourceFile& file : files)
        sources[file.name] = run.write('D', file.name, file.bytes, file.ageSeconds);
    if (to != 'D')
        run.write(to, "M0001.tif", 90000, 10 * 86400, 'o');

    int shown = 0;
    for (const char* name : driveButtons) {
        QPushButton* button = run.button(name);
        if (button->isVisibleTo(&run.dialog()))
            ++shown;
        QCOMPARE(button->styleSheet() == destinationStyle, button->text() == destination + ":\\");
    }
    QCOMPARE(shown, driveButtonCount);
    run.press(optionButton);
    QCOMPARE(run.button(optionButton)->styleSheet(), QString("color:red"));
    saveScreenshot(&run.dialog(), QString("launcher_copy_%1").arg(QTest::currentDataTag()));
    run.press("pushButton_4");
    saveScreenshot(&run.dialog(), QString("launcher_copy_%1_done").arg(QTest::currentDataTag()));

    QCOMPARE(run.messages, messages);
    for (QChar letter : driveLetters + 'C')
        if (letter != 'D' && letter != to)
            QVERIFY2(!QDir(run.folder(letter)).exists(), qPrintable(QString(letter)));
    if (to == 'D') {
        QCOMPARE(QDir(run.folder('D')).entryList(QDir::Files).size(), sources.size());
    } else {
        QCOMPARE(QDir(run.folder(to)).entryList(QDir::Files), copied);
        QCOMPARE(run.progress(), copied.size());
    }
    for (const QString& name : copied) {
        const QString copy = run.folder(to) + '/' + name;
        QVERIFY2(contentOf(copy) == sources[name].bytes, qPrintable(name));
        QCOMPARE(modifiedAt(copy), sources[name].modified);
    }

    run.press("pushButton_5");
    QVERIFY(!run.dialog().isVisible());
    QVERIFY(run.log.contains("destDrive=" + destination));
    QVERIFY(run.drives.readSettingsFile("OrlentLaunch.ini")
                .contains("destDrive " + QByteArray::number(to.unicode()) + '\n'));
}

void TestLauncherCopy::faults_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("destinationFiles");
    QTest::addColumn<QStringList>("complete");
    QTest::addColumn<QStringList>("oldKept");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("progress");
    const QStringList all = {"M0001.tif", "M0002.tif", "M0003.tif"};
    QTest::newRow("disk full") << "disk full" << all << QStringList{"M0001.tif", "M0002.tif"}
                               << QStringList{"M0003.tif"} << QStringList{copyFailed} << 2;
    QTest::newRow("folder removed") << "folder removed" << QStringList() << QStringList()
                                    << QStringList() << QStringList{copyFailed} << 2;
    // The file being copied when the user stops keeps its old copy.
    QTest::newRow("stop") << "stop" << all << QStringList{"M0001.tif"}
                          << QStringList{"M0002.tif", "M0003.tif"} << QStringList{copyDone} << 3;
    QTest::newRow("closed while copying")
        << "close" << all << QStringList{"M0001.tif"} << QStringList{"M0002.tif", "M0003.tif"}
        << QStringList{copyDone} << 3;
}

void TestLauncherCopy::faults() {
    QFETCH(QString, fault);
    QFETCH(QStringList, destinationFiles);
    QFETCH(QStringList, complete);
    QFETCH(QStringList, oldKept);
    QFETCH(QStringList, messages);
    QFETCH(int, progress);
    CopyRun run("CDE", 'E');
    QMap<QString, CopyRun::Written> sources, old;
    const SourceFile files[] = {
        {"M0001.tif", 1 << 20, 3600}, {"M0002.tif", 1 << 20, 3600}, {"M0003.tif", 6 << 20, 3600}};
    for (const SourceFile& file : files)
        sources[file.name] = run.write('D', file.name, file.bytes, file.ageSeconds);
    for (const char* name : {"M0002.tif", "M0003.tif"})
        old[name] = run.write('E', name, 2 << 20, 5 * 86400, 'o');
    run.dialog();

    // Faults strike as the copy of a given file begins.
    const auto at = [&](const QString& name, std::function<void()> act) {
        return DebugLog::attachSink([=](const QString& line) {
            if (line.contains("->") && line.endsWith(name))
                act();
        });
    };
    int sink = -1;
    if (fault == "folder removed")
        sink = at("M0003.tif", [&] { QDir(run.folder('E')).removeRecursively(); });
    if (fault == "stop" || fault == "close")
        sink =
            at("M0002.tif", [&] { run.press(fault == "stop" ? "pushButton_13" : "pushButton_5"); });
    {
        std::unique_ptr<FileSizeLimit> limit;
        if (fault == "disk full")
            limit = std::make_unique<FileSizeLimit>(3 << 20);
        run.press("pushButton_4");
    }
    DebugLog::detachSink(sink);
    saveScreenshot(&run.dialog(), QString("launcher_copy_fault_%1").arg(QTest::currentDataTag()));

    QCOMPARE(run.messages, messages);
    QCOMPARE(run.progress(), progress);
    QCOMPARE(run.log.contains("Stop Copy"), fault == "stop" || fault == "close");
    QCOMPARE(run.dialog().isVisible(), fault != "close");
    QCOMPARE(QDir(run.folder('E')).entryList(QDir::Files | QDir::Hidden), destinationFiles);
    for (const QString& name : complete) {
        QVERIFY2(contentOf(run.folder('E') + '/' + name) == sources[name].bytes, qPrintable(name));
        QCOMPARE(modifiedAt(run.folder('E') + '/' + name), sources[name].modified);
    }
    for (const QString& name : oldKept)
        QVERIFY2(contentOf(run.folder('E') + '/' + name) == old[name].bytes, qPrintable(name));
    for (const QString& name : sources.keys()) {
        QVERIFY2(contentOf(run.folder('D') + '/' + name) == sources[name].bytes, qPrintable(name));
        QCOMPARE(modifiedAt(run.folder('D') + '/' + name), sources[name].modified);
    }
}

QTEST_MAIN(TestLauncherCopy)
#include "tst_launchercopy.moc"
