#include "FileSizeLimit.h"
#include "HostPath.h"
#include "LogRecorder.h"
#include "TestDrives.h"
#include "TiffFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <tiffio.h>

namespace {

const QString folder = "C:\\VesperixData\\";

QString windowsPath(const QString& name) {
    QDir().mkpath(HostPath::toHost(folder));
    return folder + name;
}

QString hostPath(const QString& name) {
    return HostPath::toHost(folder + name);
}

QByteArray readAll(const QString& name) {
    QFile file(hostPath(name));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeAll(const QString& name, const QByteArray& content) {
    QFile file(HostPath::toHost(windowsPath(name)));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

uint32_t u16(const QByteArray& b, qint64 at) {
    return uint8_t(b[int(at)]) << 8 | uint8_t(b[int(at + 1)]);
}
uint32_t u32(const QByteArray& b, qint64 at) {
    return u16(b, at) << 16 | u16(b, at + 2);
}
void put32(QByteArray& b, qint64 at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[int(at + i)] = char(v >> (24 - 8 * i));
}

// Distinct values in every sample, channel and byte.
cv::Mat testImage(int width, int height, int channels) {
    cv::Mat image(height, width, CV_16UC(channels));
    uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        uint16_t* row = image.ptr<uint16_t>(y);
        for (int i = 0; i < width * channels; ++i) {
            seed = seed * 1103515245 + 12345;
            row[i] = uint16_t(seed >> 11);
        }
    }
    return image;
}

ShootingData sampleData() {
    ShootingData data;
    data.exposureNumerator = 1;
    data.exposureDenominator = 250;
    data.gain = 300;
    data.offset = 50;
    data.model = "C1Orbis 533MC Pro";
    data.frameCount = 16;
    data.correctionFlags = ShootingData::DarkSubtracted | ShootingData::FlatApplied;
    data.dateTime.clear(); // no time: the file gets zeros
    return data;
}

// A frame taken at a known time.
const QDateTime takenAt(QDate(2024, 3, 5), QTime(21, 7, 9));
const QByteArray takenAtText("2024:03:05 21:07:09");

ShootingData datedData() {
    ShootingData data = sampleData();
    data.setCapturedAt(takenAt);
    return data;
}

bool sameImage(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

// Offsets of an entry in the first IFD and in the EXIF IFD, found by tag.
qint64 entryAt(const QByteArray& file, qint64 ifd, uint32_t tag) {
    for (uint32_t i = 0; i < u16(file, ifd); ++i) {
        if (u16(file, ifd + 2 + 12 * i) == tag)
            return ifd + 2 + 12 * i;
    }
    return -1;
}

} // namespace

class TestTiffFile : public QObject {
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void libtiffReadsOurFiles_data();
    void libtiffReadsOurFiles();
    void opencvReadsOurFiles_data();
    void opencvReadsOurFiles();
    void roundTrip_data();
    void roundTrip();
    void exiftoolReadsTheDateTime();
    void dateTimeField_data();
    void dateTimeField();
    void missingLightSourceAndFlashGiveDefaults();
    void refusesBrokenFiles_data();
    void refusesBrokenFiles();
    void bitsPerSampleCountTwo();
    void missingFileCannotOpen();
    void failedOverwriteKeepsOldFile_data();
    void failedOverwriteKeepsOldFile();
    void uncreatableFileIsOnlyLogged();
};

void TestTiffFile::layout_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rowsPerStrip");
    QTest::addColumn<int>("strips");
    QTest::addColumn<qint64>("pixelOffset"); // P

    QTest::newRow("mono 4096x3000") << 4096 << 3000 << 1 << 8 << 375 << qint64(158 + 3000);
    QTest::newRow("rgb 1920x1080") << 1920 << 1080 << 3 << 5 << 216 << qint64(164 + 8 * 216);
    QTest::newRow("rows over 64 KiB") << 11000 << 4 << 3 << 1 << 4 << qint64(164 + 32);
    QTest::newRow("one strip mono") << 40 << 30 << 1 << 30 << 1 << qint64(158);
    QTest::newRow("one strip rgb") << 40 << 30 << 3 << 30 << 1 << qint64(164);
}

void TestTiffFile::layout() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, channels);
    QFETCH(int, rowsPerStrip);
    QFETCH(int, strips);
    QFETCH(qint64, pixelOffset);
    TestDrives drives;
    const ShootingData data = sampleData();
    const cv::Mat image = testImage(width, height, channels);
    QCOMPARE(writeTiff(windowsPath("a.tif"), image, data), 1);
    const QByteArray f = readAll("a.tif");

    const qint64 b = channels == 3 ? 6 : 0;
    const qint64 pixelBytes = qint64(width) * height * channels * 2;
    const qint64 stripBytes = qint64(rowsPerStrip) * width * channels * 2;
    const qint64 exif = pixelOffset + b + pixelBytes;
    const qint64 model = exif + 102;
    const qint64 values = model + data.model.size() + 1;
    QCOMPARE(f.size(), values + 44);
    QCOMPARE(f.left(10), QByteArray("MM\0\x2a\0\0\0\x08\0\x0c", 10));
    QCOMPARE(u32(f, 154), 0u);

    struct Entry {
        uint32_t tag, type, count, value;
    };
    const uint32_t stripArray = uint32_t(158 + b);
    const QVector<Entry> expected = {
        {254, 4, 1, 0},
        {256, 4, 1, uint32_t(width)},
        {257, 4, 1, uint32_t(height)},
        {272, 2, uint32_t(data.model.size() + 1), uint32_t(model)},
        {306, 2, 20, uint32_t(values + 24)},
        {258, 3, uint32_t(channels), channels == 1 ? 16u << 16 : 158u},
        {262, 3, 1, (channels == 1 ? 1u : 2u) << 16},
        {277, 3, 1, uint32_t(channels) << 16},
        {273, 4, uint32_t(strips), strips > 1 ? stripArray : uint32_t(pixelOffset + b)},
        {278, 4, 1, uint32_t(strips > 1 ? rowsPerStrip : height)},
        {279, 4, uint32_t(strips),
         strips > 1 ? uint32_t(stripArray + 4 * strips) : uint32_t(pixelBytes)},
        {34665, 4, 1, uint32_t(exif)},
    };
    for (int i = 0; i < expected.size(); ++i) {
        const qint64 at = 10 + 12 * i;
        QCOMPARE(u16(f, at), expected[i].tag);
        QCOMPARE(u16(f, at + 2), expected[i].type);
        QCOMPARE(u32(f, at + 4), expected[i].count);
        QCOMPARE(u32(f, at + 8), expected[i].value);
    }
    const QByteArray sixteens("\0\x10\0\x10\0\x10", 6);
    if (channels == 3) {
        QCOMPARE(f.mid(158, 6), sixteens);
        QCOMPARE(f.mid(int(pixelOffset), 6), sixteens);
    }
    if (strips > 1) {
        for (int i = 0; i < strips; ++i) {
            QCOMPARE(qint64(u32(f, stripArray + 4 * i)), pixelOffset + b + i * stripBytes);
            QCOMPARE(qint64(u32(f, stripArray + 4 * strips + 4 * i)),
                     i + 1 < strips ? stripBytes : pixelBytes - (strips - 1) * stripBytes);
        }
    }
    // The first pixel, big-endian, red first.
    const uint16_t* first = image.ptr<uint16_t>(0);
    QCOMPARE(u16(f, pixelOffset + b), uint32_t(channels == 3 ? first[2] : first[0]));

    QCOMPARE(u16(f, exif), 8u);
    const QVector<Entry> exifExpected = {
        {36864, 7, 4, 0x30323330},
        {33434, 5, 1, uint32_t(values)},
        {34864, 3, 1, 3u << 16},
        {34855, 3, 1, uint32_t(data.gain) << 16},
        {37379, 10, 1, uint32_t(values + 8)},
        {37380, 10, 1, uint32_t(values + 16)},
        {37384, 3, 1, uint32_t(data.frameCount) << 16},
        {37385, 3, 1, uint32_t(data.correctionFlags) << 16},
    };
    for (int i = 0; i < exifExpected.size(); ++i) {
        const qint64 at = exif + 2 + 12 * i;
        QCOMPARE(u16(f, at), exifExpected[i].tag);
        QCOMPARE(u16(f, at + 2), exifExpected[i].type);
        QCOMPARE(u32(f, at + 4), exifExpected[i].count);
        QCOMPARE(u32(f, at + 8), exifExpected[i].value);
    }
    QCOMPARE(u32(f, exif + 98), 0u);
    QCOMPARE(f.mid(int(model), data.model.size() + 1), data.model + QByteArray(1, '\0'));
    QCOMPARE(u32(f, values), 1u);
    QCOMPARE(u32(f, values + 4), 250u);
    QCOMPARE(u32(f, values + 8), 50u);
    QCOMPARE(u32(f, values + 12), 1u);
    QCOMPARE(u32(f, values + 16), 0u);
    QCOMPARE(u32(f, values + 20), 1u);
    QCOMPARE(f.mid(int(values + 24)), QByteArray(20, '\0'));
}

void TestTiffFile::libtiffReadsOurFiles_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("channels");
    QTest::newRow("mono one strip") << 33 << 17 << 1;
    QTest::newRow("mono strips") << 700 << 301 << 1;
    QTest::newRow("rgb one strip") << 31 << 9 << 3;
    QTest::newRow("rgb strips") << 1920 << 37 << 3;
}

void TestTiffFile::libtiffReadsOurFiles() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, channels);
    TestDrives drives;
    const ShootingData data = datedData();
    const cv::Mat image = testImage(width, height, channels);
    QCOMPARE(writeTiff(windowsPath("a.tif"), image, data), 1);

    TIFFSetWarningHandler(nullptr);
    TIFF* tif = TIFFOpen(hostPath("a.tif").toLocal8Bit().constData(), "r");
    QVERIFY(tif);
    uint32_t w = 0, h = 0;
    uint16_t spp = 0, bps = 0, photometric = 0;
    char *model = nullptr, *dateTime = nullptr;
    QVERIFY(TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w));
    QVERIFY(TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h));
    QVERIFY(TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &spp));
    QVERIFY(TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &bps));
    QVERIFY(TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric));
    QVERIFY(TIFFGetField(tif, TIFFTAG_MODEL, &model));
    QVERIFY(TIFFGetField(tif, TIFFTAG_DATETIME, &dateTime));
    QCOMPARE(int(w), width);
    QCOMPARE(int(h), height);
    QCOMPARE(int(spp), channels);
    QCOMPARE(int(bps), 16);
    QCOMPARE(int(photometric), channels == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    QCOMPARE(QByteArray(model), data.model);
    QCOMPARE(QByteArray(dateTime), takenAtText);

    // libtiff hands the samples over in host order, red first.
    cv::Mat read(height, width, CV_16UC(channels));
    const int rowsPerStrip = std::max(65536 / (width * channels * 2), 1);
    QCOMPARE(int(TIFFNumberOfStrips(tif)), (height + rowsPerStrip - 1) / rowsPerStrip);
    for (uint32_t s = 0; s < TIFFNumberOfStrips(tif); ++s) {
        QVERIFY(TIFFReadEncodedStrip(tif, s, read.ptr(int(s) * rowsPerStrip), -1) > 0);
    }
    if (channels == 3)
        cv::cvtColor(read, read, cv::COLOR_RGB2BGR);
    QVERIFY(sameImage(read, image));

    toff_t exifOffset = 0;
    QVERIFY(TIFFGetField(tif, TIFFTAG_EXIFIFD, &exifOffset));
    QVERIFY(TIFFReadEXIFDirectory(tif, exifOffset));
    float exposure = 0, brightness = 0, bias = 1; // libtiff hands EXIF rationals as float
    uint16_t isoCount = 0, lightSource = 0, flash = 0;
    uint16_t* iso = nullptr;
    QVERIFY(TIFFGetField(tif, EXIFTAG_EXPOSURETIME, &exposure));
    QVERIFY(TIFFGetField(tif, EXIFTAG_ISOSPEEDRATINGS, &isoCount, &iso));
    QVERIFY(TIFFGetField(tif, EXIFTAG_BRIGHTNESSVALUE, &brightness));
    QVERIFY(TIFFGetField(tif, EXIFTAG_EXPOSUREBIASVALUE, &bias));
    QVERIFY(TIFFGetField(tif, EXIFTAG_LIGHTSOURCE, &lightSource));
    QVERIFY(TIFFGetField(tif, EXIFTAG_FLASH, &flash));
    QCOMPARE(exposure, 1.0f / 250);
    QCOMPARE(int(isoCount), 1);
    QCOMPARE(int(iso[0]), data.gain);
    QCOMPARE(brightness, float(data.offset));
    QCOMPARE(bias, 0.0f);
    QCOMPARE(int(lightSource), data.frameCount);
    QCOMPARE(int(flash), data.correctionFlags);
    TIFFClose(tif);
}

void TestTiffFile::opencvReadsOurFiles_data() {
    QTest::addColumn<int>("channels");
    QTest::newRow("mono") << 1;
    QTest::newRow("rgb") << 3;
}

void TestTiffFile::opencvReadsOurFiles() {
    QFETCH(int, channels);
    TestDrives drives;
    const cv::Mat image = testImage(501, 203, channels);
    QCOMPARE(writeTiff(windowsPath("a.tif"), image, sampleData()), 1);
    const cv::Mat read = cv::imread(hostPath("a.tif").toStdString(), cv::IMREAD_UNCHANGED);
    QVERIFY(sameImage(read, image));
}

void TestTiffFile::roundTrip_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("channels");
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<int>("numerator");
    QTest::addColumn<int>("denominator");
    QTest::addColumn<int>("gain");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("frameCount");
    QTest::addColumn<int>("flags");

    QTest::newRow("single exposure")
        << 640 << 480 << 1 << QByteArray("M0Orbis 174MM") << 120 << 1 << 11 << 8 << 1 << 0;
    QTest::newRow("colour short exposure")
        << 1500 << 1000 << 3 << QByteArray("C3Lumio X9") << 1 << 4000 << 0 << 0 << 1 << 0;
    QTest::newRow("dark average") << 7 << 3 << 1 << QByteArray("C2") << 60 << 1 << 65535 << 255
                                  << 32 << 0;
    QTest::newRow("composite") << 300 << 200 << 3 << QByteArray("M1x") << 30 << 1 << 200 << 10
                               << 100 << 3;
    QTest::newRow("empty model") << 1 << 1 << 1 << QByteArray() << 0 << 1 << 0 << 0 << 1 << 1;
    QTest::newRow("negative offset")
        << 2 << 2 << 3 << QByteArray(99, 'q') << 1 << 1 << 1 << -40 << 2 << 2;
    QTest::newRow("model over 99 cut")
        << 2 << 2 << 1 << QByteArray(150, 'z') << 1 << 1 << 1 << 0 << 1 << 0;
}

void TestTiffFile::roundTrip() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, channels);
    QFETCH(QByteArray, model);
    QFETCH(int, numerator);
    QFETCH(int, denominator);
    QFETCH(int, gain);
    QFETCH(int, offset);
    QFETCH(int, frameCount);
    QFETCH(int, flags);
    TestDrives drives;
    ShootingData data;
    data.model = model;
    data.exposureNumerator = numerator;
    data.exposureDenominator = denominator;
    data.gain = gain;
    data.offset = offset;
    data.frameCount = frameCount;
    data.correctionFlags = flags;
    data.setCapturedAt(takenAt);
    const cv::Mat image = testImage(width, height, channels);
    QCOMPARE(writeTiff(windowsPath("a.tif"), image, data), 1);

    ShootingData read;
    read.model = "stale";
    const cv::Mat image16 = readTiff(windowsPath("a.tif"), read, 16);
    QVERIFY(sameImage(image16, image));
    QCOMPARE(read.model, model.left(99));
    QCOMPARE(read.exposureNumerator, numerator);
    QCOMPARE(read.exposureDenominator, denominator);
    QCOMPARE(read.gain, gain);
    QCOMPARE(read.offset, offset);
    QCOMPARE(read.frameCount, frameCount);
    QCOMPARE(read.correctionFlags, flags);
    QCOMPARE(read.capturedAt(), takenAt);

    ShootingData read8;
    const cv::Mat image8 = readTiff(windowsPath("a.tif"), read8, 8);
    cv::Mat expected(height, width, CV_8UC(channels));
    for (int y = 0; y < height; ++y) {
        for (int i = 0; i < width * channels; ++i)
            expected.ptr<uint8_t>(y)[i] = uint8_t(image.ptr<uint16_t>(y)[i] >> 8);
    }
    QVERIFY(sameImage(image8, expected));
    QCOMPARE(read8.frameCount, frameCount);
}

void TestTiffFile::exiftoolReadsTheDateTime() {
    TestDrives drives;
    QCOMPARE(writeTiff(windowsPath("a.tif"), testImage(64, 48, 1), datedData()), 1);
    // exiftool names TIFF's DateTime tag (306) ModifyDate.
    QProcess exiftool;
    exiftool.start("exiftool", {"-s", "-s", "-s", "-ModifyDate", hostPath("a.tif")});
    QVERIFY2(exiftool.waitForFinished(60000), "exiftool missing: scripts/setup installs it");
    QCOMPARE(exiftool.exitCode(), 0);
    QCOMPARE(exiftool.readAllStandardOutput().trimmed(), takenAtText);
}

void TestTiffFile::dateTimeField_data() {
    QTest::addColumn<QByteArray>("stored"); // the 20 bytes of DateTime in the file
    QTest::addColumn<QDateTime>("time");    // what the reader makes of them
    const QByteArray nul(1, '\0');
    QTest::newRow("ours") << takenAtText + nul << takenAt;
    QTest::newRow("no time") << QByteArray(20, '\0') << QDateTime();
    QTest::newRow("no NUL") << takenAtText + "X" << QDateTime();
    QTest::newRow("no date") << QByteArray("2024:13:45 25:61:61") + nul << QDateTime();
    QTest::newRow("unknown, as EXIF writes it")
        << QByteArray("    :  :     :  :  ") + nul << QDateTime();
    QTest::newRow("loose digits") << QByteArray("2024:3:5 21:7:9").leftJustified(20, '\0')
                                  << QDateTime();
    QTest::newRow("bytes") << QByteArray(20, char(0xff)) << QDateTime();
}

// A time read from a file is one of ours or none, and a file written again keeps it or
// stores zeros: nothing else is ever shown or passed on.
void TestTiffFile::dateTimeField() {
    QFETCH(QByteArray, stored);
    QFETCH(QDateTime, time);
    TestDrives drives;
    const ShootingData data = sampleData();
    QCOMPARE(writeTiff(windowsPath("a.tif"), testImage(8, 4, 1), data), 1);
    QByteArray f = readAll("a.tif");
    const qint64 field = u32(f, 10 + 12 * 4 + 8);
    QCOMPARE(field + 20, qint64(f.size()));
    f.replace(int(field), 20, stored);
    writeAll("b.tif", f);

    ShootingData read;
    QVERIFY(!readTiff(windowsPath("b.tif"), read).empty());
    QCOMPARE(read.capturedAt(), time);
    QCOMPARE(writeTiff(windowsPath("c.tif"), testImage(8, 4, 1), read), 1);
    const QByteArray again = readAll("c.tif").mid(int(field));
    QCOMPARE(again, time.isValid() ? stored : QByteArray(20, '\0'));
}

void TestTiffFile::missingLightSourceAndFlashGiveDefaults() {
    TestDrives drives;
    ShootingData data = sampleData();
    QCOMPARE(writeTiff(windowsPath("a.tif"), testImage(10, 10, 1), data), 1);
    QByteArray f = readAll("a.tif");
    const qint64 exif = u32(f, 10 + 12 * 11 + 8);
    for (uint32_t tag : {37384u, 37385u}) {
        const qint64 at = entryAt(f, exif, tag);
        QVERIFY(at > 0);
        f[int(at)] = char(0xfd); // an unknown tag, skipped by the reader
    }
    writeAll("b.tif", f);
    ShootingData read;
    read.frameCount = 9;
    read.correctionFlags = 3;
    QVERIFY(!readTiff(windowsPath("b.tif"), read).empty());
    QCOMPARE(read.frameCount, 1);
    QCOMPARE(read.correctionFlags, 0);
    QCOMPARE(read.gain, data.gain);
}

void TestTiffFile::refusesBrokenFiles_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<qint64>("at"); // truncation length or entry offset
    QTest::addColumn<quint32>("value");

    // A 3-channel file of 1920 x 10: two strips, strip arrays at 164, P = 180.
    const qint64 p = 180, pixels = 1920 * 10 * 6, e = p + 6 + pixels, m = e + 102;
    const qint64 x = m + 18, end = x + 44; // model "C1Orbis 533MC Pro"
    for (qint64 length : {qint64(0),
                          qint64(3),
                          qint64(8),
                          qint64(9),
                          qint64(10),
                          qint64(100),
                          qint64(154),
                          qint64(158),
                          qint64(164),
                          qint64(172),
                          p,
                          p + 6,
                          p + 6 + pixels / 2,
                          e,
                          e + 2,
                          e + 50,
                          e + 98,
                          m,
                          m + 5,
                          x,
                          x + 8,
                          x + 24,
                          end - 1})
        QTest::newRow(qPrintable(QString("truncated at %1").arg(length)))
            << "truncate" << length << 0u;
    QTest::newRow("little-endian header") << "le" << qint64(0) << 0u;
    QTest::newRow("width huge") << "value" << qint64(10 + 12) << 100000u;
    QTest::newRow("height huge") << "value" << qint64(10 + 24) << 0xffffffffu;
    QTest::newRow("width zero") << "value" << qint64(10 + 12) << 0u;
    QTest::newRow("strip array past end") << "value" << qint64(10 + 96) << 0xfffffff0u;
    QTest::newRow("first strip past pixels") << "strip0" << qint64(164) << uint32_t(p + 1000);
    QTest::newRow("model past end") << "value" << qint64(10 + 36) << uint32_t(end - 3);
    QTest::newRow("model count huge") << "count" << qint64(10 + 36) << 0x7fffffffu;
    QTest::newRow("date past end") << "value" << qint64(10 + 48) << 0xffffff00u;
    QTest::newRow("bits array past end") << "value" << qint64(10 + 60) << uint32_t(end);
    QTest::newRow("exif past end") << "value" << qint64(10 + 132) << uint32_t(end);
    QTest::newRow("exif entries past end") << "short" << qint64(e) << 0xffffu;
    QTest::newRow("exposure past end") << "value" << qint64(e + 2 + 12 + 0) << uint32_t(end - 4);
    QTest::newRow("ifd entries past end") << "short" << qint64(8) << 0xffffu;
    QTest::newRow("8 bits per sample") << "short" << qint64(158) << 8u;
}

void TestTiffFile::refusesBrokenFiles() {
    QFETCH(QString, edit);
    QFETCH(qint64, at);
    QFETCH(quint32, value);
    TestDrives drives;
    QCOMPARE(writeTiff(windowsPath("a.tif"), testImage(1920, 10, 3), sampleData()), 1);
    QByteArray f = readAll("a.tif");
    QCOMPARE(u32(f, 10 + 12 * 8 + 4), 2u); // two strips, as the table assumes
    if (edit == "truncate") {
        f.truncate(int(at));
    } else if (edit == "le") {
        f.replace(0, 4, QByteArray("II\x2a\0", 4));
    } else if (edit == "value") {
        put32(f, at + 8, value);
    } else if (edit == "count") {
        put32(f, at + 4, value);
    } else if (edit == "strip0") {
        put32(f, at, value);
    } else if (edit == "short") {
        f[int(at)] = char(value >> 8);
        f[int(at + 1)] = char(value);
    }
    writeAll("b.tif", f);

    LogRecorder log;
    ShootingData data;
    const cv::Mat image = readTiff(windowsPath("b.tif"), data);
    QVERIFY(image.empty());
    QVERIFY2(log.contains("file format error " + windowsPath("b.tif")),
             qPrintable(log.lines().join('|')));
}

void TestTiffFile::bitsPerSampleCountTwo() {
    TestDrives drives;
    QCOMPARE(writeTiff(windowsPath("a.tif"), testImage(20, 20, 3), sampleData()), 1);
    QByteArray f = readAll("a.tif");
    put32(f, 10 + 12 * 5 + 4, 2);
    writeAll("b.tif", f);
    for (int depth : {16, 8}) {
        LogRecorder log;
        ShootingData data;
        const cv::Mat image = readTiff(windowsPath("b.tif"), data, depth);
        QCOMPARE(image.rows, 1);
        QCOMPARE(image.cols, 1);
        QCOMPARE(image.channels(), 1);
        QVERIFY(log.contains("file format error"));
    }
}

void TestTiffFile::missingFileCannotOpen() {
    TestDrives drives;
    LogRecorder log;
    ShootingData data;
    QVERIFY(readTiff(windowsPath("none.tif"), data).empty());
    QVERIFY(log.contains("file cannot open " + windowsPath("none.tif")));
}

void TestTiffFile::failedOverwriteKeepsOldFile_data() {
    // 1200 x 1000 mono: 2,400,000 pixel bytes = one full chunk and a remainder; P = 158 + 8 * 38.
    const qint64 p = 158 + 8 * 38, e = p + 2400000;
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<QString>("message");
    QTest::newRow("header") << qint64(100) << "Binary file write error";
    QTest::newRow("full chunk") << qint64(p + 1000000) << "Binary file write error 2";
    QTest::newRow("last chunk") << qint64(p + 2000004 + 1000) << "Binary file write error 3";
    QTest::newRow("exif part") << qint64(e + 50) << "Binary file write error";
}

void TestTiffFile::failedOverwriteKeepsOldFile() {
    QFETCH(qint64, limit);
    QFETCH(QString, message);
    TestDrives drives;
    QCOMPARE(writeTiff(windowsPath("a.tif"), testImage(20, 10, 1), sampleData()), 1);
    const QByteArray before = readAll("a.tif");
    LogRecorder log;
    int result = -1;
    {
        FileSizeLimit fullDisk{rlim_t(limit)};
        result = writeTiff(windowsPath("a.tif"), testImage(1200, 1000, 1), sampleData());
    }
    QCOMPARE(result, 0);
    QVERIFY2(log.contains(message), qPrintable(log.lines().join('|')));
    QCOMPARE(readAll("a.tif"), before);
    QCOMPARE(QDir(HostPath::toHost(folder)).entryList(QDir::Files | QDir::Hidden),
             QStringList{"a.tif"});
}

void TestTiffFile::uncreatableFileIsOnlyLogged() {
    TestDrives drives;
    LogRecorder log;
    QCOMPARE(writeTiff("C:\\NoSuchFolder\\a.tif", testImage(4, 4, 1), sampleData()), 0);
    QVERIFY(log.contains("Binary file create error"));
    QCOMPARE(writeTiff(windowsPath("a.tif"), cv::Mat(4, 4, CV_8UC1), sampleData()), 0);
    QVERIFY(!QFile::exists(hostPath("a.tif")));
}

QTEST_GUILESS_MAIN(TestTiffFile)
#include "tst_tifffile.moc"
