#include "DataDrives.h"
#include "DataFolder.h"
#include "FileShootingData.h"
#include "FileSizeLimit.h"
#include "FrameFiles.h"
#include "HostPath.h"
#include "InfoPanelTexts.h"
#include "LogRecorder.h"
#include "SettingsRecord.h"
#include "ShownFile.h"
#include "TestDrives.h"
#include "TiffFile.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <opencv2/imgproc.hpp>
#include <vector>

namespace {

QString hostFolder(char drive = 'C') {
    return HostPath::toHost(QString(QChar(drive)) + ":\\VesperixData");
}

void touch(const QString& name, char drive = 'C') {
    QDir().mkpath(hostFolder(drive));
    QFile file(hostFolder(drive) + '/' + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

bool exists(const QString& name, char drive = 'C') {
    return QFileInfo::exists(hostFolder(drive) + '/' + name);
}

QStringList folderEntries() {
    return QDir(hostFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// A mosaic with distinct neighbours, so that a wrong demosaic shows in every pixel.
cv::Mat rawFrame(int width = 64, int height = 48) {
    cv::Mat frame(height, width, CV_16UC1);
    cv::randu(frame, 0, 65535);
    return frame;
}

bool same(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

// A data folder on drive C with the settings it belongs to.
struct Folder {
    Folder() {
        settings.setDefaults();
        settings.drive = 'C';
    }
    TestDrives drives;
    SettingsRecord settings;
    DataFolder folder{settings};
};

} // namespace

class TestDataFolder : public QObject {
    Q_OBJECT
private slots:
    void scanListsFramesAndCountsEveryNumber_data();
    void scanListsFramesAndCountsEveryNumber();
    void emptyFolder();
    void missingFolderIsCreatedOnItsDriveOnly();
    void stepsWrapAtBothEnds();
    void deleteTakesTheColourTwin();
    void deleteNeverReachesAnotherDrive();
    void fileNames_data();
    void fileNames();
    void colourLightFrameGetsItsDemosaicedTwin_data();
    void colourLightFrameGetsItsDemosaicedTwin();
    void registration_data();
    void registration();
    void failedWritesAreNotSuccess();
    void numbersStayUniqueAcrossThreads();
    void scanDrives();
    void selectDriveReadsItsFolder();
    void shownFiles();
    void infoPanelTexts_data();
    void infoPanelTexts();
    void shootingDataOfLightAndMaster();
};

void TestDataFolder::scanListsFramesAndCountsEveryNumber_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<int>("lastNumber");
    QTest::newRow("light, twin and cooled dark")
        << QStringList{"M00012.tif", "C00012.tif", "D00020_M09.tif"} << QStringList{"M00012.tif"}
        << 20;
    QTest::newRow("name order") << QStringList{"M00010.tif", "M00002.tif", "M00003_1.tif",
                                               "M00001.tif"}
                                << QStringList{"M00001.tif", "M00002.tif", "M00003_1.tif",
                                               "M00010.tif"}
                                << 10;
    QTest::newRow("stacked results with +")
        << QStringList{"F00004.tif", "C00005+10.tif", "stack+b.tif"}
        << QStringList{"C00005+10.tif", "stack+b.tif"} << 5;
    QTest::newRow("only .tif is listed, every name counts")
        << QStringList{"M00007.jpg", "M00003.TIF", "m00002.tif", "solve.jpg", "M00001.tif"}
        << QStringList{"M00001.tif"} << 7;
}

void TestDataFolder::scanListsFramesAndCountsEveryNumber() {
    QFETCH(QStringList, entries);
    QFETCH(QStringList, listed);
    QFETCH(int, lastNumber);
    Folder f;
    for (const QString& entry : entries)
        touch(entry);
    QDir().mkpath(hostFolder() + "/M00099.tif"); // a folder is no frame

    f.folder.scanDataFolder();
    QCOMPARE(f.folder.files(), listed);
    QCOMPARE(f.folder.lastNumber(), lastNumber);
    QCOMPARE(f.folder.currentIndex(), listed.size() - 1);
    QCOMPARE(f.folder.currentPath(), "C:\\VesperixData\\" + listed.last());
    QCOMPARE(f.folder.takeNextNumber(), lastNumber + 1);
    QCOMPARE(f.folder.lastNumber(), lastNumber + 1);
}

void TestDataFolder::emptyFolder() {
    Folder f;
    touch("C00001.tif");
    f.folder.scanDataFolder();
    QCOMPARE(f.folder.count(), 0);
    QCOMPARE(f.folder.currentIndex(), -1);
    f.folder.nextFile();
    f.folder.previousFile();
    QCOMPARE(f.folder.currentIndex(), -1);
    QVERIFY(f.folder.currentPath().isEmpty());
    QVERIFY(f.folder.pathAt(0).isEmpty());
    QVERIFY(!f.folder.deleteCurrent());
    QVERIFY(exists("C00001.tif"));
}

void TestDataFolder::missingFolderIsCreatedOnItsDriveOnly() {
    Folder f;
    {
        LogRecorder log;
        f.folder.scanDataFolder();
        QVERIFY(log.contains("Make Dir VesperixData"));
        QVERIFY(QFileInfo(hostFolder()).isDir());
    }
    {
        LogRecorder log;
        f.folder.scanDataFolder();
        QVERIFY(!log.contains("Make Dir VesperixData"));
    }
    // A drive that is gone is not brought back by making its folder.
    f.settings.drive = 'E';
    f.folder.scanDataFolder();
    QCOMPARE(f.folder.folder(), QString("E:\\VesperixData"));
    QVERIFY(!HostPath::driveExists('E'));
    QCOMPARE(f.folder.count(), 0);
}

void TestDataFolder::stepsWrapAtBothEnds() {
    Folder f;
    for (const char* name : {"M00001.tif", "M00002.tif", "M00003.tif"})
        touch(name);
    f.folder.scanDataFolder();
    f.folder.nextFile();
    QCOMPARE(f.folder.currentName(), QString("M00001.tif"));
    f.folder.previousFile();
    f.folder.previousFile();
    QCOMPARE(f.folder.currentName(), QString("M00002.tif"));
    f.folder.addFile("M00004.tif");
    QCOMPARE(f.folder.currentIndex(), 3);
    QCOMPARE(f.folder.pathAt(1), QString("C:\\VesperixData\\M00002.tif"));
}

void TestDataFolder::deleteTakesTheColourTwin() {
    Folder f;
    for (const char* name : {"M00012.tif", "C00012.tif", "M00013.tif", "C00014.tif"})
        touch(name);
    f.folder.scanDataFolder();
    // 13 has no twin; the twin of 12 must survive the deletion of 13.
    QVERIFY(f.folder.deleteCurrent());
    QCOMPARE(f.folder.files(), QStringList{"M00012.tif"});
    QCOMPARE(f.folder.currentName(), QString("M00012.tif"));
    QVERIFY(!exists("M00013.tif"));
    QVERIFY(exists("C00012.tif"));

    QVERIFY(f.folder.deleteCurrent());
    QVERIFY(!exists("M00012.tif"));
    QVERIFY(!exists("C00012.tif"));
    QVERIFY(exists("C00014.tif"));
    QCOMPARE(f.folder.currentIndex(), -1);

    // A file removed behind the program's back still leaves the list.
    f.folder.addFile("M00015.tif");
    QVERIFY(f.folder.deleteCurrent());
    QCOMPARE(f.folder.count(), 0);
}

void TestDataFolder::deleteNeverReachesAnotherDrive() {
    Folder f;
    QDir().mkpath(HostPath::drivesRoot() + "/M");
    touch("a+b.tif", 'M');
    touch("a+b.tif", 'C');
    f.settings.drive = 'M';
    f.folder.scanDataFolder();
    QVERIFY(f.folder.deleteCurrent());
    QVERIFY(!exists("a+b.tif", 'M'));
    // The only "M" of the path is the drive letter: there is no twin to delete.
    QVERIFY(exists("a+b.tif", 'C'));
}

void TestDataFolder::fileNames_data() {
    QTest::addColumn<char>("kind");
    QTest::addColumn<bool>("isColor");
    QTest::addColumn<bool>("filterWheel");
    QTest::addColumn<bool>("cooled");
    QTest::addColumn<int>("temperature");
    QTest::addColumn<QString>("name");
    QTest::newRow("mono light, filter 3") << 'M' << false << true << false << 0 << "M00007_3.tif";
    QTest::newRow("colour light ignores the wheel")
        << 'M' << true << true << false << 0 << "M00007.tif";
    QTest::newRow("cooled dark at -9") << 'D' << false << false << true << -9 << "D00007_M09.tif";
    QTest::newRow("cooled dark at 0") << 'D' << false << false << true << 0 << "D00007_P00.tif";
    QTest::newRow("uncooled dark") << 'D' << false << false << false << -9 << "D00007.tif";
    QTest::newRow("flat, cooled, wheel") << 'F' << false << true << true << -9 << "F00007.tif";
}

void TestDataFolder::fileNames() {
    FrameWriteJob job;
    QFETCH(char, kind);
    job.kind = kind;
    QFETCH(bool, isColor);
    job.isColor = isColor;
    QFETCH(bool, filterWheel);
    job.filterWheel = filterWheel;
    job.filterPosition = 2;
    QFETCH(bool, cooled);
    job.cooled = cooled;
    QFETCH(int, temperature);
    job.temperature = temperature;
    QTEST(rawFileName(job, 7), "name");
}

void TestDataFolder::colourLightFrameGetsItsDemosaicedTwin_data() {
    QTest::addColumn<int>("bayer");
    QTest::addColumn<int>("opencvCode");
    QTest::newRow("BG") << 0 << int(cv::COLOR_BayerBG2BGR);
    QTest::newRow("RG") << 1 << int(cv::COLOR_BayerRG2BGR);
    QTest::newRow("GB") << 2 << int(cv::COLOR_BayerGB2BGR);
    QTest::newRow("GR") << 3 << int(cv::COLOR_BayerGR2BGR);
}

void TestDataFolder::colourLightFrameGetsItsDemosaicedTwin() {
    QFETCH(int, bayer);
    QFETCH(int, opencvCode);
    Folder f;
    touch("M00041.tif");
    f.folder.scanDataFolder();
    FrameWriteJob job;
    // Taller than the bands the twin is made in, with a last band cut short.
    job.frame = rawFrame(64, 203);
    job.isColor = true;
    job.bayer = bayer;
    job.filterWheel = true;
    job.data.exposureNumerator = 90;
    job.data.gain = 120;
    job.data.offset = 30;
    job.data.model = "C" + QByteArray::number(bayer) + "Sim Camera";
    job.data.correctionFlags = 3;

    const WrittenFiles written = writeFrameFiles(job, f.folder);
    QVERIFY(written.ok);
    QCOMPARE(written.rawPath, QString("C:\\VesperixData\\M00042.tif"));
    QCOMPARE(written.colourName, QString("C00042.tif"));

    ShootingData raw, colour;
    QVERIFY(same(readTiff(written.rawPath, raw), job.frame));
    cv::Mat expected;
    cv::cvtColor(job.frame, expected, opencvCode);
    QVERIFY(same(readTiff("C:\\VesperixData\\C00042.tif", colour), expected));
    for (const ShootingData& read : {raw, colour}) {
        QCOMPARE(read.exposureNumerator, 90);
        QCOMPARE(read.gain, 120);
        QCOMPARE(read.offset, 30);
        QCOMPARE(read.model, job.data.model);
        QCOMPARE(read.correctionFlags, 3);
    }
}

void TestDataFolder::registration_data() {
    QTest::addColumn<char>("kind");
    QTest::addColumn<QString>("label");
    QTest::newRow("light frame") << 'M' << "M00001";
    QTest::newRow("master dark") << 'D' << "D00001_M09";
    QTest::newRow("master flat") << 'F' << "F00001";
}

void TestDataFolder::registration() {
    QFETCH(char, kind);
    Folder f;
    f.folder.scanDataFolder();
    f.settings.preDark = "D00000.tif";
    f.settings.preFlat = "F00000.tif";
    FrameWriteJob job;
    job.frame = rawFrame(8, 8);
    job.kind = kind;
    job.cooled = true;
    job.temperature = -9;
    const WrittenFiles written = writeFrameFiles(job, f.folder);
    QVERIFY(written.ok);
    QVERIFY(written.colourName.isEmpty());

    int darkCaptureMode = 1, flatCaptureMode = 1;
    QTEST(registerWrittenFiles(written, f.folder, f.settings, darkCaptureMode, flatCaptureMode),
          "label");
    QCOMPARE(f.folder.files(), kind == 'M' ? QStringList{written.rawName} : QStringList());
    QCOMPARE(f.settings.preDark, kind == 'D' ? written.rawName : QString("D00000.tif"));
    QCOMPARE(f.settings.preFlat, kind == 'F' ? written.rawName : QString("F00000.tif"));
    QCOMPARE(darkCaptureMode, kind == 'D' ? 0 : 1);
    QCOMPARE(flatCaptureMode, kind == 'F' ? 0 : 1);
    QCOMPARE(folderEntries(), QStringList{written.rawName});
}

void TestDataFolder::failedWritesAreNotSuccess() {
    Folder f;
    f.folder.scanDataFolder();
    FrameWriteJob job;
    job.frame = rawFrame();
    job.isColor = true;
    int darkCaptureMode = 0, flatCaptureMode = 0;

    // The disk fills between the raw frame (6 KB) and its colour twin (18 KB): the raw file
    // is whole and kept, the twin is not there at all.
    WrittenFiles written;
    {
        FileSizeLimit fullDisk(12000);
        written = writeFrameFiles(job, f.folder);
    }
    QVERIFY(!written.ok);
    QVERIFY(written.rawWritten);
    QVERIFY(written.colourName.isEmpty());
    QCOMPARE(folderEntries(), QStringList{"M00001.tif"});
    QCOMPARE(registerWrittenFiles(written, f.folder, f.settings, darkCaptureMode, flatCaptureMode),
             QString("M00001"));

    // Full before the raw frame: nothing is written, listed or shown.
    {
        FileSizeLimit fullDisk(1000);
        written = writeFrameFiles(job, f.folder);
    }
    QVERIFY(!written.ok);
    QVERIFY(!written.rawWritten);
    QCOMPARE(folderEntries(), QStringList{"M00001.tif"});
    QVERIFY(registerWrittenFiles(written, f.folder, f.settings, darkCaptureMode, flatCaptureMode)
                .isEmpty());
    QCOMPARE(f.folder.files(), QStringList{"M00001.tif"});

    // A master that cannot be written ends its series but is not made the current master.
    QVERIFY(QDir(hostFolder()).removeRecursively());
    QFile replaced(hostFolder());
    QVERIFY(replaced.open(QIODevice::WriteOnly));
    replaced.close();
    job.kind = 'D';
    written = writeFrameFiles(job, f.folder);
    QVERIFY(!written.ok);
    darkCaptureMode = 1;
    f.settings.preDark = "D00000.tif";
    QVERIFY(registerWrittenFiles(written, f.folder, f.settings, darkCaptureMode, flatCaptureMode)
                .isEmpty());
    QCOMPARE(darkCaptureMode, 0);
    QCOMPARE(f.settings.preDark, QString("D00000.tif"));
}

void TestDataFolder::numbersStayUniqueAcrossThreads() {
    Folder f;
    f.folder.scanDataFolder();
    // Mostly numbers, so that the two threads really meet at the counter.
    constexpr int perThread = 500000;
    std::atomic<int> started{0};
    auto work = [&f, &started](std::vector<int>* numbers) {
        // Both threads begin together, or one may be done before the other starts.
        ++started;
        while (started < 2)
            ;
        for (int i = 0; i < perThread; ++i) {
            numbers->push_back(f.folder.takeNextNumber());
            if (i % 50 == 0)
                f.folder.addFile(QString::asprintf("M%05d.tif", numbers->back()));
        }
    };
    std::vector<int> mine, theirs;
    mine.reserve(perThread);
    theirs.reserve(perThread);
    QThread* writer = QThread::create(work, &theirs);
    writer->start();
    work(&mine);
    writer->wait();
    delete writer;

    QCOMPARE(f.folder.lastNumber(), 2 * perThread);
    QSet<int> numbers(mine.begin(), mine.end());
    numbers.unite(QSet<int>(theirs.begin(), theirs.end()));
    QCOMPARE(numbers.size(), 2 * perThread);
    QCOMPARE(f.folder.count(), 2 * perThread / 50);
}

void TestDataFolder::scanDrives() {
    TestDrives drives;
    SettingsRecord settings;
    for (const char* letter : {"B", "D", "F", "N"})
        QDir().mkpath(drives.root() + '/' + letter);
    settings.drive = 'D';
    QStringList found = DataDrives::scanDrives(settings);
    QCOMPARE(found, (QStringList{"C", "D", "F"}));
    QCOMPARE(settings.drive, int('D'));
    QCOMPARE(DataDrives::currentIndex(found, settings), 1);

    settings.drive = 'E';
    found = DataDrives::scanDrives(settings);
    QCOMPARE(settings.drive, int('C'));
    QCOMPARE(DataDrives::currentIndex(found, settings), 0);

    for (char letter = 'C'; letter <= 'M'; ++letter)
        QDir().mkpath(drives.root() + '/' + letter);
    settings.drive = 'L';
    found = DataDrives::scanDrives(settings);
    QCOMPARE(found, (QStringList{"C", "D", "E", "F", "G", "H"}));
    QCOMPARE(settings.drive, int('C'));
}

void TestDataFolder::selectDriveReadsItsFolder() {
    Folder f;
    touch("M00003.tif");
    f.folder.scanDataFolder();
    QDir().mkpath(HostPath::drivesRoot() + "/F");
    touch("M00008.tif", 'F');
    DataDrives::selectDrive('f', f.settings, f.folder);
    QCOMPARE(f.settings.drive, int('F'));
    QCOMPARE(f.folder.currentPath(), QString("F:\\VesperixData\\M00008.tif"));
    QCOMPARE(f.folder.lastNumber(), 8);
}

void TestDataFolder::shownFiles() {
    TestDrives drives;
    QDir().mkpath(hostFolder());
    const cv::Mat raw = rawFrame(16, 8);
    ShootingData data;
    data.model = "C2Sim Camera";
    QVERIFY(writeTiff("C:\\VesperixData\\M00001.tif", raw, data));
    data.model = "M0Sim Mono";
    QVERIFY(writeTiff("C:\\VesperixData\\M00002.tif", raw, data));
    data.model = "CXdamaged";
    QVERIFY(writeTiff("C:\\VesperixData\\M00003.tif", raw, data));
    data.setCapturedAt(QDateTime(QDate(2024, 3, 5), QTime(21, 7, 9)));
    QVERIFY(writeTiff("C:\\VesperixData\\M00004.tif", raw, data));
    QFile file(hostFolder() + "/M00001.tif");
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime(QDate(2024, 1, 2), QTime(21, 4, 5)),
                             QFileDevice::FileModificationTime));
    file.close();

    const ShownFile colour = readShownFile("C:\\VesperixData\\M00001.tif", false);
    QVERIFY(colour.ok);
    QVERIFY(colour.isColor);
    QCOMPARE(colour.bayer, 2);
    QCOMPARE(colour.date, QString("2024/01/02 21:04:05"));
    cv::Mat highBytes(raw.size(), CV_8UC1);
    for (int i = 0; i < int(raw.total()); ++i)
        highBytes.at<uint8_t>(i) = uint8_t(raw.at<uint16_t>(i) >> 8);
    QVERIFY(same(colour.image8, highBytes));

    const ShownFile mono = readShownFile("C:\\VesperixData\\M00002.tif", false);
    QVERIFY(mono.ok);
    QVERIFY(!mono.isColor);
    const ShownFile damaged = readShownFile("C:\\VesperixData\\M00003.tif", false);
    QVERIFY(damaged.isColor);
    QCOMPARE(damaged.bayer, 0);
    // A file that knows when it was taken shows that, not when it was copied.
    QCOMPARE(readShownFile("C:\\VesperixData\\M00004.tif", false).date,
             QString("2024/03/05 21:07:09"));
    QVERIFY(!readShownFile("C:\\VesperixData\\M00009.tif", false).ok);
}

void TestDataFolder::infoPanelTexts_data() {
    QTest::addColumn<int>("numerator");
    QTest::addColumn<int>("denominator");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("exposure");
    QTest::addColumn<QString>("darked");
    QTest::addColumn<QString>("flated");
    QTest::newRow("seconds, nothing done") << 300 << 1 << 0 << "露出:300s"
                                           << "ダーク:未"
                                           << "フラット:未";
    QTest::newRow("fraction, dark") << 1 << 250 << 1 << "露出:1/250s"
                                    << "ダーク:済み"
                                    << "フラット:未";
    QTest::newRow("flat only") << 2 << 1 << 2 << "露出:2s"
                               << "ダーク:未"
                               << "フラット:済み";
    QTest::newRow("both") << 1 << 1000 << 3 << "露出:1/1000s"
                          << "ダーク:済み"
                          << "フラット:済み";
}

void TestDataFolder::infoPanelTexts() {
    ShootingData data;
    data.gain = 250;
    QFETCH(int, numerator);
    data.exposureNumerator = numerator;
    QFETCH(int, denominator);
    data.exposureDenominator = denominator;
    QFETCH(int, flags);
    data.correctionFlags = flags;
    const InfoPanelTexts texts = ::infoPanelTexts(data, "2024/01/02 21:04:05");
    QCOMPARE(texts.date, QString("2024/01/02 21:04:05"));
    QCOMPARE(texts.gain, QString("感度:250"));
    QTEST(texts.exposure, "exposure");
    QTEST(texts.darked, "darked");
    QTEST(texts.flated, "flated");
}

void TestDataFolder::shootingDataOfLightAndMaster() {
    const QDateTime start(QDate(2024, 3, 5), QTime(21, 7, 9, 500));
    ShootingValues values{1, 60, 7, 40, true, 3, "Sim Colour", true, true, 16, start};
    const ShootingData light = fileShootingData('M', values);
    QCOMPARE(light.exposureNumerator, 1);
    QCOMPARE(light.exposureDenominator, 60);
    QCOMPARE(light.dateTime, QByteArray("2024:03:05 21:07:09").leftJustified(20, '\0'));
    QCOMPARE(light.gain, 7);
    QCOMPARE(light.offset, 40);
    QCOMPARE(light.model, QByteArray("C3Sim Colour"));
    QCOMPARE(light.frameCount, 1);
    QCOMPARE(light.correctionFlags, 3);

    values.isColor = false;
    const ShootingData master = fileShootingData('D', values);
    QCOMPARE(master.model, QByteArray("M3Sim Colour"));
    QCOMPARE(master.frameCount, 16);
    QCOMPARE(master.correctionFlags, 0);
}

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
