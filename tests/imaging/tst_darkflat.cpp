#include "DarkFlat.h"
#include "LogRecorder.h"
#include "SettingsRecord.h"
#include "ShootingData.h"
#include "TestDrives.h"
#include "TiffFile.h"
#include "UserPrompt.h"

#include <QDir>
#include <QtTest>

using namespace DarkFlat;

namespace {

cv::Mat filled(int width, int height, int value) {
    return cv::Mat(height, width, CV_16UC1, cv::Scalar(value));
}

// A mono flat whose brightest blocks read `level`, with one chosen sample at (0, 0).
cv::Mat flatWith(int level, int atOrigin) {
    cv::Mat flat = filled(200, 200, level);
    flat.at<uint16_t>(0, 0) = uint16_t(atOrigin);
    return flat;
}

// A data folder on drive C with a 16 x 16 master dark of level 100 taken at gain 5.
struct FolderWithDark {
    FolderWithDark() {
        QDir().mkpath(drives.root() + "/C/VesperixData");
        settings.setDefaults();
        settings.preDark = "D00001.tif";
        ShootingData darkData;
        darkData.gain = 5;
        darkData.frameCount = 16;
        QVERIFY(writeTiff("C:\\VesperixData\\D00001.tif", filled(16, 16, 100), darkData) == 1);
    }
    TestDrives drives;
    SettingsRecord settings;
};

} // namespace

class TestDarkFlat : public QObject {
    Q_OBJECT
private slots:
    void correction_data();
    void correction();
    void colourFramesUseTheReferenceOfTheirPhase();
    void smallFramesStillGetReferences();
    void averaging();
    void correctFileRefusesWhatWasDone_data();
    void correctFileRefusesWhatWasDone();
    void correctFileWritesTheFlagsAndTheColourTwin();
    void masterDarkOfAnotherGainAsksFirst();
};

void TestDarkFlat::correction_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("dark");
    QTest::addColumn<int>("flatSample");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("mastersFit");
    // The flat's brightest blocks read 20100, so with offset 100 the reference is 20000.
    QTest::newRow("dark only clamps at 0") << 0 << 100 << 300 << 0 << 50 << 0 << true;
    QTest::newRow("dark only") << 0 << 5000 << 1000 << 0 << 100 << 4100 << true;
    QTest::newRow("flat only, k = 0.5") << 1 << 1100 << 0 << 10100 << 100 << 2100 << true;
    QTest::newRow("flat brighter than the reference")
        << 1 << 1100 << 0 << 30000 << 100 << 1100 << true;
    QTest::newRow("both") << 2 << 5000 << 1000 << 10100 << 100 << 8100 << true;
    QTest::newRow("flat clamps at 65535") << 1 << 40100 << 0 << 10100 << 100 << 65535 << true;
    QTest::newRow("raw below the offset") << 1 << 50 << 0 << 10100 << 100 << 100 << true;
    QTest::newRow("flat sample at the offset: k = 0")
        << 1 << 1100 << 0 << 100 << 100 << 1100 << true;
    // A master of another size is not applied at all.
    QTest::newRow("dark of another size") << 0 << 5000 << 1000 << 0 << 100 << 5000 << false;
    QTest::newRow("flat of another size") << 1 << 1100 << 0 << 10100 << 100 << 1100 << false;
}

void TestDarkFlat::correction() {
    QFETCH(int, mode);
    QFETCH(int, raw);
    QFETCH(int, dark);
    QFETCH(int, flatSample);
    QFETCH(int, offset);
    QFETCH(int, expected);
    QFETCH(bool, mastersFit);
    cv::Mat frame = filled(mastersFit ? 200 : 300, 200, raw);
    const cv::Mat darkFrame = filled(200, 200, dark);
    const cv::Mat flat = flatWith(20100, flatSample);
    QCOMPARE(correctFrame(frame, darkFrame, flat, false, mode, offset), mastersFit);
    QCOMPARE(int(frame.at<uint16_t>(0, 0)), expected);
}

void TestDarkFlat::colourFramesUseTheReferenceOfTheirPhase() {
    cv::Mat flat(200, 200, CV_16UC1);
    for (int y = 0; y < flat.rows; ++y)
        for (int x = 0; x < flat.cols; ++x)
            flat.at<uint16_t>(y, x) = uint16_t(1000 * (1 + (y & 1) * 2 + (x & 1)));
    const FlatReference reference = flatReference(flat, true, 0);
    QCOMPARE(reference.phase[0], 1000);
    QCOMPARE(reference.phase[1], 2000);
    QCOMPARE(reference.phase[2], 3000);
    QCOMPARE(reference.phase[3], 4000);
    // Row 0, column 1 is the even-row, odd-column phase: at half its reference, doubled.
    flat.at<uint16_t>(0, 1) = 1000;
    cv::Mat frame = filled(200, 200, 500);
    correctFrame(frame, cv::Mat(), flat, true, FlatOnly, 0);
    QCOMPARE(int(frame.at<uint16_t>(0, 1)), 1000);
    QCOMPARE(int(frame.at<uint16_t>(1, 1)), 500);
}

void TestDarkFlat::smallFramesStillGetReferences() {
    cv::Mat flat = filled(50, 40, 3000);
    flat.at<uint16_t>(10, 10) = 9000;
    QCOMPARE(flatReference(flat, false, 0).mono, 9000);
    const FlatReference colour = flatReference(filled(3, 3, 800), true, 100);
    for (int p : colour.phase)
        QCOMPARE(p, 700);
    cv::Mat frame = filled(50, 40, 1500);
    correctFrame(frame, cv::Mat(), flat, false, FlatOnly, 0);
    QCOMPARE(int(frame.at<uint16_t>(0, 0)), 4500);
}

void TestDarkFlat::averaging() {
    LogRecorder log;
    cv::Mat mean;
    addFrameToAverage(mean, filled(4, 4, 100), 0);
    addFrameToAverage(mean, filled(4, 4, 103), 1);
    QCOMPARE(int(mean.at<uint16_t>(2, 2)), 101);
    addFrameToAverage(mean, filled(4, 4, 110), 2);
    QCOMPARE(int(mean.at<uint16_t>(2, 2)), 104);
    addFrameToAverage(mean, filled(4, 4, 65535), 3); // no overflow near the top
    QCOMPARE(int(mean.at<uint16_t>(0, 0)), (104 * 3 + 65535) / 4);
    QCOMPARE(log.lines().count("Add dark frame"), 4);
}

void TestDarkFlat::correctFileRefusesWhatWasDone_data() {
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("message");
    QTest::newRow("dark twice") << 1 << 0 << QStringLiteral("既にダーク減算済み.");
    QTest::newRow("dark after flat")
        << 2 << 0 << QStringLiteral("フラット補正済みはダーク減算できません.");
    QTest::newRow("flat twice") << 2 << 1 << QStringLiteral("既にフラット補正済み.");
    QTest::newRow("flat twice after dark") << 3 << 1 << QStringLiteral("既にフラット補正済み.");
}

void TestDarkFlat::correctFileRefusesWhatWasDone() {
    QFETCH(int, flags);
    QFETCH(int, operation);
    QFETCH(QString, message);
    TestDrives drives;
    QDir().mkpath(drives.root() + "/C/VesperixData");
    SettingsRecord settings;
    settings.setDefaults();
    ShootingData data;
    data.model = "M0Test";
    data.correctionFlags = flags;
    const QString path = "C:\\VesperixData\\M00001.tif";
    QCOMPARE(writeTiff(path, filled(8, 8, 1000), data), 1);
    QStringList messages;
    UserPrompt::setMessageHandler([&](const QString& text) { messages << text; });
    QVERIFY(!correctFile(settings, path, operation));
    UserPrompt::setMessageHandler(nullptr);
    QCOMPARE(messages, QStringList{message});
    ShootingData after;
    QCOMPARE(int(readTiff(path, after).at<uint16_t>(0, 0)), 1000);
}

void TestDarkFlat::correctFileWritesTheFlagsAndTheColourTwin() {
    FolderWithDark folder;
    SettingsRecord& settings = folder.settings;
    ShootingData lightData;
    lightData.gain = 5;
    lightData.offset = 10;
    lightData.model = "C1Test Camera";
    const QDateTime taken(QDate(2024, 3, 5), QTime(21, 7, 9));
    lightData.setCapturedAt(taken);
    const QString path = "C:\\VesperixData\\M00002.tif";
    QCOMPARE(writeTiff(path, filled(16, 16, 1000), lightData), 1);

    LogRecorder log;
    QVERIFY(correctFile(settings, path, SubtractDark));
    ShootingData after;
    const cv::Mat corrected = readTiff(path, after);
    QCOMPARE(int(corrected.at<uint16_t>(3, 3)), 1000 - 100 + 10);
    QCOMPARE(after.correctionFlags, 1);
    QCOMPARE(after.model, QByteArray("C1Test Camera"));
    QCOMPARE(after.capturedAt(), taken);
    const cv::Mat twin = readTiff("C:\\VesperixData\\C00002.tif", after);
    QCOMPARE(twin.channels(), 3);
    QCOMPARE(after.correctionFlags, 1);
    QCOMPARE(after.capturedAt(), taken);
    for (const char* line :
         {"Gain=5", "Offset=10", "width = 16, height=16 color=1", "start dark flat"})
        QVERIFY2(log.contains(line), line);
}

void TestDarkFlat::masterDarkOfAnotherGainAsksFirst() {
    FolderWithDark folder;
    SettingsRecord& settings = folder.settings;
    QStringList asked, messages;
    bool answer = false;
    UserPrompt::setQuestionHandler([&](const QString& q) {
        asked << q;
        return answer;
    });
    UserPrompt::setMessageHandler([&](const QString& text) { messages << text; });
    cv::Mat dark;
    QVERIFY(loadMasterDark(settings, 16, 16, 5, &dark));
    QVERIFY(asked.isEmpty());
    QVERIFY(!loadMasterDark(settings, 16, 16, 7, &dark));
    QCOMPARE(asked,
             QStringList{QStringLiteral("ダークファイルとはゲインが異なります。続行しすか?")});
    answer = true;
    QVERIFY(loadMasterDark(settings, 16, 16, 7, &dark));
    QVERIFY(!loadMasterDark(settings, 32, 16, 5, &dark));
    settings.preDark = "D00009.tif";
    QVERIFY(!loadMasterDark(settings, 16, 16, 5, &dark));
    QVERIFY(!loadMasterFlat(settings, 16, 16, &dark));
    QCOMPARE(messages, (QStringList{QStringLiteral("ダークファイルとは画像サイズが異なります."),
                                    QStringLiteral("ダークファイルがありません"),
                                    QStringLiteral("フラットファイルがありません")}));
    UserPrompt::setQuestionHandler(nullptr);
    UserPrompt::setMessageHandler(nullptr);
}

QTEST_GUILESS_MAIN(TestDarkFlat)
#include "tst_darkflat.moc"
