#include "DarkFlat.h"
#include "DarkFlatBatch.h"
#include "HostPath.h"
#include "LogRecorder.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "ShootingData.h"
#include "TestDrives.h"
#include "TiffFile.h"
#include "TotalDarkFlat.h"
#include "UserPrompt.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

// Every stored file of the data folder, by name: the batch skips what is not a light frame.
QStringList dataFolderFrames(const SettingsRecord& settings) {
    const QString folder = DarkFlat::dataFolder(settings);
    QStringList frames;
    const QStringList names =
        QDir(HostPath::toHost(folder)).entryList({"*.tif"}, QDir::Files, QDir::Name);
    for (const QString& name : names)
        frames << folder + name;
    return frames;
}

constexpr int side = 16;

cv::Mat filled(int value) {
    return cv::Mat(side, side, CV_16UC1, cv::Scalar(value));
}

void writeFrame(const QString& name, int value, int gain, int exposure, int flags) {
    ShootingData data;
    data.gain = gain;
    data.exposureNumerator = exposure;
    data.model = "M0Sim";
    data.correctionFlags = flags;
    QCOMPARE(writeTiff("C:\\VesperixData\\" + name, filled(value), data), 1);
}

int flagsOf(const QString& name, int* sample = nullptr) {
    ShootingData data;
    const cv::Mat image = readTiff("C:\\VesperixData\\" + name, data);
    if (sample)
        *sample = image.empty() ? -1 : image.at<uint16_t>(0, 0);
    return data.correctionFlags;
}

struct DataFolder {
    DataFolder() {
        QDir().mkpath(drives.root() + "/C/VesperixData");
        settings.setDefaults();
        settings.preDark = "D00100.tif";
        settings.preFlat = "F00101.tif";
        writeFrame("D00100.tif", 100, 5, 120, 0);
        writeFrame("F00101.tif", 20000, 5, 1, 0);
    }
    TestDrives drives;
    SettingsRecord settings;
};

} // namespace

class TestDarkFlatBatch : public QObject {
    Q_OBJECT
private slots:
    void filesAreCorrectedByTheirRules();
    void optionsAllowOtherGainAndExposure();
    void onlyRecentFilesWithTheDayOption();
    void startChecks_data();
    void startChecks();
    void dialogStoresChoicesAndStopsWhenClosed();
};

void TestDarkFlatBatch::filesAreCorrectedByTheirRules() {
    DataFolder folder;
    folder.settings.totalDark = 1;
    folder.settings.totalFlat = 1;
    writeFrame("M00001.tif", 1100, 5, 120, 0);
    writeFrame("M00002.tif", 1100, 5, 120, 1); // dark already subtracted
    writeFrame("M00003.tif", 1100, 7, 120, 0); // another gain
    writeFrame("M00004.tif", 1100, 5, 300, 0); // another exposure
    writeFrame("M00005+03.tif", 1100, 5, 120, 0);
    writeFrame("M00006.tif", 1100, 5, 121, 2); // flat already done
    LogRecorder log;
    DarkFlatBatch batch(folder.settings);
    QVERIFY(batch.prepare());
    QStringList seen;
    batch.run(dataFolderFrames(folder.settings), [&](int, const QString& name) {
        seen << name;
        return true;
    });
    QCOMPARE(seen.size(), 8); // every file of the folder, the masters included
    int sample = 0;
    QCOMPARE(flagsOf("M00001.tif", &sample), 3);
    QCOMPARE(sample, 1000); // (1100 - 100) with the flat at its reference
    QCOMPARE(flagsOf("M00002.tif", &sample), 3);
    QCOMPARE(sample, 1100); // flat only: (1100 - 0) / 1.0 + 0
    QCOMPARE(flagsOf("M00003.tif"), 0);
    QCOMPARE(flagsOf("M00004.tif"), 0);
    QCOMPARE(flagsOf("M00005+03.tif"), 0);
    QCOMPARE(flagsOf("D00100.tif"), 0);
    const QString data = "C:\\VesperixData\\";
    for (const QString& line :
         {data + "M00002.tif 既にダーク減算済み.", data + "M00003.tif ゲインが違う.",
          data + "M00004.tif 露出が違う.", data + "M00006.tif 既にフラット済み",
          data + "M00001.tif ダーク/フラット実行."})
        QVERIFY2(log.contains(line), qPrintable(line));
}

void TestDarkFlatBatch::optionsAllowOtherGainAndExposure() {
    DataFolder folder;
    folder.settings.totalDark = 1;
    folder.settings.tdarkOpt1 = 1;
    folder.settings.tdarkOpt2 = 1;
    writeFrame("M00003.tif", 1100, 7, 121, 0);
    writeFrame("M00004.tif", 1100, 5, 300, 0);
    writeFrame("M00007.tif", 1100, 5, 300, 1); // dark done, no flat chosen: skipped
    DarkFlatBatch batch(folder.settings);
    QVERIFY(batch.prepare());
    batch.run(dataFolderFrames(folder.settings), [](int, const QString&) { return true; });
    int sample = 0;
    QCOMPARE(flagsOf("M00003.tif", &sample), 1);
    QCOMPARE(sample, 1000);
    QCOMPARE(flagsOf("M00004.tif"), 1);
    QCOMPARE(flagsOf("M00007.tif", &sample), 1);
    QCOMPARE(sample, 1100);
}

void TestDarkFlatBatch::onlyRecentFilesWithTheDayOption() {
    DataFolder folder;
    folder.settings.totalDark = 1;
    folder.settings.dfIn24h = 1;
    writeFrame("M00001.tif", 1100, 5, 120, 0);
    writeFrame("M00002.tif", 1100, 5, 120, 0);
    QFile old(folder.drives.root() + "/C/VesperixData/M00002.tif");
    QVERIFY(old.open(QIODevice::ReadWrite));
    QVERIFY(old.setFileTime(QDateTime::currentDateTime().addSecs(-25 * 3600),
                            QFileDevice::FileModificationTime));
    old.close();
    DarkFlatBatch batch(folder.settings);
    QVERIFY(batch.prepare());
    batch.run(dataFolderFrames(folder.settings), [](int, const QString&) { return true; });
    QCOMPARE(flagsOf("M00001.tif"), 1);
    QCOMPARE(flagsOf("M00002.tif"), 0);
}

void TestDarkFlatBatch::startChecks_data() {
    QTest::addColumn<int>("dark");
    QTest::addColumn<int>("flat");
    QTest::addColumn<QString>("preDark");
    QTest::addColumn<QString>("preFlat");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing chosen") << 0 << 0 << "D00100.tif"
                                    << "F00101.tif"
                                    << "";
    QTest::newRow("no dark") << 1 << 0 << "D00999.tif"
                             << "F00101.tif" << QStringLiteral("ダークファイルが存在しません");
    QTest::newRow("no flat") << 0 << 1 << "D00100.tif"
                             << "" << QStringLiteral("フラットファイルが存在しません");
    QTest::newRow("sizes differ") << 1 << 1 << "D00100.tif"
                                  << "F00102.tif"
                                  << QStringLiteral(
                                         "ダークファイルとフラットファイルでサイズが異なります.");
}

void TestDarkFlatBatch::startChecks() {
    QFETCH(int, dark);
    QFETCH(int, flat);
    QFETCH(QString, preDark);
    QFETCH(QString, preFlat);
    QFETCH(QString, message);
    DataFolder folder;
    ShootingData data;
    QCOMPARE(
        writeTiff("C:\\VesperixData\\F00102.tif", cv::Mat(8, 8, CV_16UC1, cv::Scalar(1)), data), 1);
    folder.settings.totalDark = dark;
    folder.settings.totalFlat = flat;
    folder.settings.preDark = preDark;
    folder.settings.preFlat = preFlat;
    QStringList messages;
    UserPrompt::setMessageHandler([&](const QString& text) { messages << text; });
    DarkFlatBatch batch(folder.settings);
    QVERIFY(!batch.prepare());
    UserPrompt::setMessageHandler(nullptr);
    QCOMPARE(messages, message.isEmpty() ? QStringList() : QStringList{message});
}

void TestDarkFlatBatch::dialogStoresChoicesAndStopsWhenClosed() {
    DataFolder folder;
    writeFrame("M00001.tif", 1100, 5, 120, 0);
    TotalDarkFlat dialog(folder.settings, dataFolderFrames(folder.settings));
    dialog.show();
    saveScreenshot(&dialog, "TotalDarkFlat");
    QTest::mouseClick(dialog.findChild<QPushButton*>("pushButtonYes0"), Qt::LeftButton);
    QCOMPARE(folder.settings.totalDark, 1);
    QVERIFY(dialog.findChild<QPushButton*>("pushButtonYes0")->styleSheet().contains("red"));
    QTest::mouseClick(dialog.findChild<QPushButton*>("pushButtonYes4"), Qt::LeftButton);
    QCOMPARE(folder.settings.dfIn24h, 1);
    QTest::mouseClick(dialog.findChild<QPushButton*>("pushButtonNo4"), Qt::LeftButton);
    QCOMPARE(folder.settings.dfIn24h, 0);

    // Closed before the first file: nothing is corrected.
    QTimer::singleShot(0, &dialog, &QDialog::close);
    dialog.start();
    QCOMPARE(flagsOf("M00001.tif"), 0);

    TotalDarkFlat again(folder.settings, dataFolderFrames(folder.settings));
    again.show();
    again.start();
    QCOMPARE(flagsOf("M00001.tif"), 1);
    QVERIFY(!again.isVisible()); // closes after the last file
}

QTEST_MAIN(TestDarkFlatBatch)
#include "tst_darkflatbatch.moc"
