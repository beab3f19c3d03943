#include "FileSizeLimit.h"
#include "LogRecorder.h"
#include "SettingSteps.h"
#include "SettingsFile.h"
#include "SettingsKey.h"
#include "SettingsRecord.h"
#include "TestDrives.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cmath>

namespace {

// The file a first start writes, as other programs and older installations read it.
const char* const firstStartFile = "gain 11\nexposure 3\ngamma 5\nbright 5\ntimRep 10\ntimMin 2\n"
                                   "timSec 0\ntimInt 10\ntemp -10\nfile 0\nlgain 20\nlexposure 8\n"
                                   "lgamma 6\nstarMin 1\nstarMax 100\ntestTime 30\nplayMin 1\n"
                                   "playMax 100\ndarkO 0\nbayer 0\npreDark \npreFlat \npreOpe 0\n"
                                   "saveE 0\ntimeD 33\nslowC 0\nslowW 0\ncapMode 0\nlcEna 0\n"
                                   "lcMod 0\nlcNum 4\nlcBse 0\nsaveRaw 1\nfilPat 0\neafPos 0\n"
                                   "eafx100 0\neafRev 0\ndrive 67\nggain 25\ngexposure 8\n"
                                   "thresRa 2\nthresDec 2\nsenceRa 80\nsenceDec 80\nlcdBright 5\n"
                                   "starGain 1\nstarLimit 100\ndirRight 69\ndirLeft 69\n"
                                   "dirLower 69\ndirUpper 69\nguidePort 0\ncalStep 1000\n"
                                   "st4calNS 30\nst4calWE 30\ntimeRep 10\ntimeExp 300\n"
                                   "timeInt 10\ndither 0\ndithPix 4\nggamma 5\nbinning 0\n"
                                   "movAveN 5\nmirror 0\ngbright 5\ncontrast 3\ndiff 5\nmodeRa 0\n"
                                   "modeDec 0\ncenter 0\ncenterX 320\ncenterY 240\nstabC 5\n"
                                   "stabR 5\ngspeed 1\ngpower 4\ncenV 10\nfeild 1\ncircle 30\n"
                                   "rect 300\nimage 2\nfixTyp 0\ndecSign 0\ninpDat \nfocal 800\n"
                                   "colNo1 6\ncolLe1 4\ncolNo2 0\ncolLe2 4\ncolNo3 1\ncolLe3 4\n"
                                   "colNo4 0\ncolLe4 6\ncolNo5 2\ncolLe5 6\ncolNo6 3\ncolLe6 6\n"
                                   "allow 5\nscroll 0\nland 1\nenaConstName 1\n"
                                   "enaFamusStarName 1\nenaAllStarName 0\nenaMessie 1\n"
                                   "enaFamusIc 1\nenaAllIc 0\nenaFamusNgc 1\nenaAllNgc 0\n"
                                   "enaMilky 1\ndecDir 0\n_focal 400\nsencerWidth 3590\n"
                                   "sencerHeight 2400\nangle 0\npixSize 0\nplateExp 10\n"
                                   "totalDark 0\ntdarkOpt1 0\ntdarkOpt2 0\ntotalFlat 0\n"
                                   "dfIn24h 0\nrt_rLevel 50\nrt_gLevel 50\nrt_bLevel 50\n"
                                   "rt_lowX 0\nrt_lowY 0\nrt_highX 255\nrt_highY 255\n"
                                   "compCond 1\nliveBright 0\ndigiFocal 300\ndigiAngle 0\n"
                                   "digiCenLong 360\ndigiCenShort 240\ndigiOffRa 0\n"
                                   "digiOffDec 0\nraBase1000 0\ndecBase1000 0\nzorvanV2 0\n"
                                   "_3dfor 0\n_3ddep 0\n_3dstr 0\n";

QStringList allKeys() {
    QStringList names;
    for (const auto* table : {&SettingsKey::settingsFileKeys(), &SettingsKey::axiloFileKeys()}) {
        for (const SettingsKey& key : *table)
            names << key.name;
    }
    return names;
}

const SettingsKey* keyNamed(const QString& name) {
    for (const auto* table : {&SettingsKey::settingsFileKeys(), &SettingsKey::axiloFileKeys()}) {
        for (const SettingsKey& key : *table) {
            if (name == key.name)
                return &key;
        }
    }
    return nullptr;
}

// Names of the fields in which two records differ. The polar-alignment program's "time"
// fills `timeD` and is reported under that name.
QStringList differences(const SettingsRecord& a, const SettingsRecord& b) {
    QStringList names;
    for (const QString& name : allKeys()) {
        const SettingsKey* key = keyNamed(name);
        const bool same =
            key->text ? a.*key->text == b.*key->text : a.*key->number == b.*key->number;
        if (!same && name != "time")
            names << name;
    }
    return names;
}

SettingsRecord defaults() {
    SettingsRecord record;
    record.setDefaults();
    ensureSettingsPath(record);
    return record;
}

SettingsRecord loadedFrom(const TestDrives& drives, const QByteArray& settingsFile) {
    drives.writeSettingsFile("Vesperix.ini", settingsFile);
    SettingsRecord record = defaults();
    loadSettings(record);
    return record;
}

// What a load of any file does to a record with its defaults, besides what the file says.
SettingsRecord afterAnyLoad(bool fileHadLines) {
    SettingsRecord record = defaults();
    record.movAveN = 5;
    record.diff = 5;
    if (fileHadLines)
        record.land = 0;
    return record;
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void firstStartWritesEveryKeyInOrder();
    void everyKeyRoundTrips_data();
    void everyKeyRoundTrips();
    void whatAStepButtonSetsSurvivesARestart_data();
    void whatAStepButtonSetsSurvivesARestart();
    void whatTheGuiderSetsSurvivesARestart_data();
    void whatTheGuiderSetsSurvivesARestart();
    void lineRules_data();
    void lineRules();
    void writtenOnlyKeysAlwaysHoldTheirDefaults();
    void readOnlyRotateIsDroppedOnSave();
    void valuesAreLoggedAsRead();
    void axiloFileOverridesTheTimeZone();
    void basePositionConvertsThroughThousandths();
    void failedSaveKeepsTheOldFile();
    void unwritableFolderIsOnlyLogged();
    void hostileFilesKeepEveryFieldInRange();
    void settingsLiveBelowTheDrivesRoot();
};

void TestSettingsFile::firstStartWritesEveryKeyInOrder() {
    TestDrives drives;
    LogRecorder log;
    SettingsRecord record = defaults();
    QVERIFY(log.contains("Make Dir VesperixIni"));
    loadSettings(record);
    QCOMPARE(differences(record, afterAnyLoad(false)), QStringList());
    saveSettings(record);
    QCOMPARE(QString(drives.readSettingsFile("Vesperix.ini")), QString(firstStartFile));
}

void TestSettingsFile::everyKeyRoundTrips_data() {
    QTest::addColumn<QString>("name");
    for (const SettingsKey& key : SettingsKey::settingsFileKeys()) {
        if (key.readable() && key.writable())
            QTest::newRow(key.name) << QString(key.name);
    }
}

void TestSettingsFile::everyKeyRoundTrips() {
    QFETCH(QString, name);
    const SettingsKey* key = keyNamed(name);
    TestDrives drives;
    SettingsRecord saved = defaults();
    if (key->text) {
        saved.*key->text = QStringLiteral("D00012.tif");
    } else {
        // A value other than the default, at an end of the range where the offsets bite.
        saved.*key->number = key->defaultValue == key->min ? key->max : key->min;
    }
    saveSettings(saved);

    SettingsRecord loaded = defaults();
    loadSettings(loaded);
    SettingsRecord expected = saved;
    expected.movAveN = 5;
    expected.diff = 5;
    expected.land = 0;
    QCOMPARE(differences(loaded, expected), QStringList());
}

void TestSettingsFile::whatAStepButtonSetsSurvivesARestart_data() {
    QTest::addColumn<int>("index");
    const std::vector<SettingStep>& steps = settingSteps();
    for (int i = 0; i < int(steps.size()); ++i)
        QTest::newRow(steps[i].button) << i;
}

void TestSettingsFile::whatAStepButtonSetsSurvivesARestart() {
    QFETCH(int, index);
    const SettingStep& step = settingSteps()[size_t(index)];
    const SettingsKey* key = nullptr;
    for (const SettingsKey& candidate : SettingsKey::settingsFileKeys()) {
        if (candidate.number == step.field)
            key = &candidate;
    }
    QVERIFY(key && key->readable() && key->writable());
    TestDrives drives;
    for (const int value : {step.min, step.max}) {
        SettingsRecord saved = defaults();
        saved.*step.field = value;
        saveSettings(saved);
        SettingsRecord loaded = defaults();
        loadSettings(loaded);
        QVERIFY2(loaded.*step.field == value, qPrintable(QString("%1 %2 came back as %3")
                                                             .arg(key->name)
                                                             .arg(value)
                                                             .arg(loaded.*step.field)));
    }
}

void TestSettingsFile::whatTheGuiderSetsSurvivesARestart_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    // The ends the autoguider window and its parameter dialog can reach.
    QTest::newRow("thresRa") << "thresRa" << 0 << 10;
    QTest::newRow("thresDec") << "thresDec" << 0 << 10;
    QTest::newRow("senceRa") << "senceRa" << 0 << 390;
    QTest::newRow("calStep") << "calStep" << 100 << 9900;
    QTest::newRow("dithPix") << "dithPix" << 1 << 99;
    QTest::newRow("stabR") << "stabR" << 1 << 99;
    QTest::newRow("stabC") << "stabC" << 1 << 99;
    QTest::newRow("gspeed") << "gspeed" << 0 << 10;
    QTest::newRow("gpower") << "gpower" << 0 << 8;
}

void TestSettingsFile::whatTheGuiderSetsSurvivesARestart() {
    QFETCH(QString, name);
    QFETCH(int, min);
    QFETCH(int, max);
    const SettingsKey* key = keyNamed(name);
    TestDrives drives;
    for (const int value : {min, max}) {
        SettingsRecord saved = defaults();
        saved.*key->number = value;
        saveSettings(saved);
        SettingsRecord loaded = defaults();
        loadSettings(loaded);
        QCOMPARE(loaded.*key->number, value);
    }
}

void TestSettingsFile::lineRules_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    QTest::newRow("in range") << QByteArray("gain 7\n") << "gain"
                              << "7";
    QTest::newRow("above range") << QByteArray("gain 30\n") << "gain"
                                 << "11";
    QTest::newRow("below range") << QByteArray("gain -1\n") << "gain"
                                 << "11";
    QTest::newRow("negative in range") << QByteArray("temp -20\n") << "temp"
                                       << "-20";
    QTest::newRow("range end") << QByteArray("lexposure 13\n") << "lexposure"
                               << "13";
    QTest::newRow("timeD 33 is +9") << QByteArray("timeD 33\n") << "timeD"
                                    << "9";
    QTest::newRow("timeD 0 is -24") << QByteArray("timeD 0\n") << "timeD"
                                    << "-24";
    QTest::newRow("timeD 49 ignored") << QByteArray("timeD 49\n") << "timeD"
                                      << "9";
    QTest::newRow("timeD -1 ignored") << QByteArray("timeD -1\n") << "timeD"
                                      << "9";
    QTest::newRow("starLimit 0 is -100") << QByteArray("starLimit 0\n") << "starLimit"
                                         << "-100";
    QTest::newRow("starLimit 201 ignored") << QByteArray("starLimit 201\n") << "starLimit"
                                           << "0";
    QTest::newRow("trailing junk") << QByteArray("gain 12abc\n") << "gain"
                                   << "12";
    QTest::newRow("no digits") << QByteArray("gain abc\n") << "gain"
                               << "11";
    QTest::newRow("minus alone") << QByteArray("gain -\n") << "gain"
                                 << "11";
    QTest::newRow("tabs and blanks") << QByteArray("gain\t \t7\n") << "gain"
                                     << "7";
    QTest::newRow("no blank") << QByteArray("gain7\n") << "gain"
                              << "7";
    QTest::newRow("huge number") << QByteArray("gain 99999999999999999999999\n") << "gain"
                                 << "11";
    QTest::newRow("huge negative") << QByteArray("temp -99999999999999999999999\n") << "temp"
                                   << "-10";
    QTest::newRow("4294967303 is not 7") << QByteArray("gain 4294967303\n") << "gain"
                                         << "11";
    QTest::newRow("CRLF") << QByteArray("gain 7\r\n") << "gain"
                          << "7";
    QTest::newRow("no last newline") << QByteArray("gain 7") << "gain"
                                     << "7";
    QTest::newRow("key not at line start") << QByteArray(" gain 7\n") << "gain"
                                           << "11";
    QTest::newRow("centerX before center") << QByteArray("centerX 100\n") << "centerX"
                                           << "100";
    QTest::newRow("centerX leaves center") << QByteArray("centerX 2\n") << "centerX"
                                           << "2";
    QTest::newRow("center itself") << QByteArray("center 2\n") << "center"
                                   << "2";
    QTest::newRow("enaFamusNgc") << QByteArray("enaFamusNgc 0\n") << "enaFamusNgc"
                                 << "0";
    QTest::newRow("land reset") << QByteArray("land 1\n") << "land"
                                << "0";
    QTest::newRow("land reset by any line") << QByteArray("xyz\n") << "land"
                                            << "0";
    QTest::newRow("last value wins") << QByteArray("gain 3\ngain 4\n") << "gain"
                                     << "4";
    QTest::newRow("bad second value keeps first") << QByteArray("gain 3\ngain 40\n") << "gain"
                                                  << "3";
    QTest::newRow("text") << QByteArray("preDark D00012.tif\n") << "preDark"
                          << "D00012.tif";
    QTest::newRow("text CRLF") << QByteArray("preDark D00012.tif\r\n") << "preDark"
                               << "D00012.tif";
    QTest::newRow("text empty") << QByteArray("preFlat F1.tif\npreFlat  \t\n") << "preFlat"
                                << "";
    QTest::newRow("text no newline") << QByteArray("preFlat F00013.tif") << "preFlat"
                                     << "F00013.tif";
    QTest::newRow("NUL ends the line") << QByteArray("gain 7\0 junk\n", 13) << "gain"
                                       << "7";
    QTest::newRow("NUL before the key") << QByteArray("\0gain 7\n", 8) << "gain"
                                        << "11";
    QTest::newRow("binary") << QByteArray("\xff\xfe\x01gain 7\n\x80\x81\n") << "gain"
                            << "11";
    // A line longer than 98 characters is read in pieces of 98, and each piece is a line.
    QTest::newRow("long line hides nothing") << QByteArray(200, 'x') + "\ngain 7\n"
                                             << "gain"
                                             << "7";
    QTest::newRow("piece starts a key") << QByteArray(98, 'x') + "gain 6\n"
                                        << "gain"
                                        << "6";
    QTest::newRow("piece of 97 then key") << QByteArray(97, 'x') + "gain 6\n"
                                          << "gain"
                                          << "11";
    QTest::newRow("long text is cut") << "preDark " + QByteArray(150, 'a') + '\n'
                                      << "preDark" << QString(90, 'a');
}

void TestSettingsFile::lineRules() {
    QFETCH(QByteArray, file);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    TestDrives drives;
    const SettingsRecord loaded = loadedFrom(drives, file);
    const SettingsKey* key = keyNamed(field);
    const QString actual = key->text ? loaded.*key->text : QString::number(loaded.*key->number);
    QCOMPARE(actual, expected);
    // Nothing but that field (and what every load does) changes.
    SettingsRecord expectedRecord = afterAnyLoad(!file.isEmpty());
    QStringList changed = differences(loaded, expectedRecord);
    changed.removeAll(field);
    QVERIFY2(changed.isEmpty(), qPrintable(changed.join(',')));
}

void TestSettingsFile::writtenOnlyKeysAlwaysHoldTheirDefaults() {
    TestDrives drives;
    SettingsRecord loaded = loadedFrom(drives, "starMin 50\nstarMax 60\ntestTime 5\nplayMin 7\n"
                                               "playMax 8\ndarkO 1\nbayer 2\nrect 9\nimage 1\n"
                                               "fixTyp 1\ndecSign 1\ninpDat hello\n");
    QCOMPARE(differences(loaded, afterAnyLoad(true)), QStringList());
    saveSettings(loaded);
    const QByteArray saved = drives.readSettingsFile("Vesperix.ini");
    for (const char* line : {"\nstarMin 1\n", "\nstarMax 100\n", "\nplayMin 1\n", "\nplayMax 100\n",
                             "\ntestTime 30\n", "\ninpDat \n"})
        QVERIFY2(saved.contains(line), line);
}

void TestSettingsFile::readOnlyRotateIsDroppedOnSave() {
    TestDrives drives;
    const SettingsRecord loaded = loadedFrom(drives, "rotate 1\n");
    QCOMPARE(loaded.rotate, 1);
    saveSettings(loaded);
    QVERIFY(!drives.readSettingsFile("Vesperix.ini").contains("rotate"));
}

void TestSettingsFile::valuesAreLoggedAsRead() {
    TestDrives drives;
    LogRecorder log;
    loadedFrom(drives, "timeD 33\ngain 30\npreDark D00012.tif\r\ngain x\n");
    const QStringList expected = {"timeD=33", "gain=30", "preDark=D00012.tif"};
    QCOMPARE(log.lines(), expected);
}

void TestSettingsFile::axiloFileOverridesTheTimeZone() {
    TestDrives drives;
    LogRecorder log;
    drives.writeSettingsFile("Axilo.ini", "gain 3\nlong1 135\nlati1 35\nlongWE 1\ntime 2\n");
    SettingsRecord loaded = loadedFrom(drives, "timeD 30\ngain 7\n");
    QCOMPARE(loaded.timeD, 2);
    QCOMPARE(loaded.long1, 135);
    QCOMPARE(loaded.lati1, 35);
    QCOMPARE(loaded.longWE, 1);
    QCOMPARE(loaded.gain, 7); // the polar-alignment program's own keys stay its own
    QVERIFY(log.contains("long=135, lati=35 longWE=1"));

    drives.writeSettingsFile("Axilo.ini", "time 33\nlong1 360\nlati1 90\n");
    loaded = loadedFrom(drives, "timeD 30\n");
    QCOMPARE(loaded.timeD, 6);
    QCOMPARE(loaded.long1, 139);
    QCOMPARE(loaded.lati1, 38);

    QFile::remove(drives.settingsFile("Axilo.ini"));
    loaded = loadedFrom(drives, "timeD 30\n");
    QCOMPARE(loaded.timeD, 6);
    QCOMPARE(loaded.long1, 139);
}

void TestSettingsFile::basePositionConvertsThroughThousandths() {
    TestDrives drives;
    SettingsRecord record = defaults();
    record.setBaseDegrees(123.45678, -45.67891);
    QCOMPARE(record.raBase1000, 123456);
    QCOMPARE(record.decBase1000, -45678);
    saveSettings(record);
    SettingsRecord loaded = defaults();
    loadSettings(loaded);
    QCOMPARE(loaded.raBaseDegrees(), 123.456);
    QCOMPARE(loaded.decBaseDegrees(), -45.678);

    record.setBaseDegrees(std::nan(""), 1e300);
    QCOMPARE(record.raBase1000, 0);
    QCOMPARE(record.decBase1000, 90000);
}

void TestSettingsFile::failedSaveKeepsTheOldFile() {
    TestDrives drives;
    SettingsRecord record = defaults();
    record.gain = 7;
    saveSettings(record);
    const QByteArray before = drives.readSettingsFile("Vesperix.ini");

    LogRecorder log;
    {
        FileSizeLimit fullDisk(64);
        record.gain = 3;
        saveSettings(record);
    }

    QCOMPARE(drives.readSettingsFile("Vesperix.ini"), before);
    QVERIFY(!log.lines().filter("file write error").isEmpty());
    QCOMPARE(QDir(drives.settingsFile("")).entryList(QDir::Files), QStringList{"Vesperix.ini"});
}

void TestSettingsFile::unwritableFolderIsOnlyLogged() {
    TestDrives drives;
    SettingsRecord record = defaults();
    QDir(drives.settingsFile("")).removeRecursively();
    QFile blocker(drives.settingsFile("").chopped(1)); // a file where the folder should be
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    LogRecorder log;
    saveSettings(record);
    QVERIFY(log.contains("file open error"));
    loadSettings(record); // and loading from there gives the defaults
    QCOMPARE(differences(record, afterAnyLoad(false)), QStringList());
}

void TestSettingsFile::hostileFilesKeepEveryFieldInRange() {
    TestDrives drives;
    QRandomGenerator random(20261208);
    const QStringList names = allKeys();
    for (int round = 0; round < 300; ++round) {
        QByteArray file;
        const int lines = random.bounded(40);
        for (int i = 0; i < lines; ++i) {
            if (random.bounded(3) == 0)
                file += names.at(random.bounded(names.size())).toLatin1();
            const int junk = random.bounded(random.bounded(2) ? 8 : 300);
            for (int j = 0; j < junk; ++j) {
                static const char alphabet[] = "0123456789-- \t\r\n\0\xff\x80xyz";
                file += alphabet[random.bounded(int(sizeof alphabet) - 1)];
            }
            file += random.bounded(2) ? QByteArray::number(random.bounded(-500, 500))
                                      : QByteArray::number(qint64(random.generate64()));
            if (random.bounded(4))
                file += '\n';
        }
        const SettingsRecord loaded = loadedFrom(drives, file);
        for (const SettingsKey& key : SettingsKey::settingsFileKeys()) {
            if (!key.number)
                continue;
            const int value = loaded.*key.number;
            QVERIFY2(value >= key.min && value <= key.max,
                     qPrintable(QString("%1=%2 in round %3").arg(key.name).arg(value).arg(round)));
        }
        QCOMPARE(loaded.inpDat, QString());
        QCOMPARE(loaded.starMin, 1);
    }
}

void TestSettingsFile::settingsLiveBelowTheDrivesRoot() {
    TestDrives drives;
    SettingsRecord record = defaults();
    QCOMPARE(record.path, QString("C:\\OrlentVesperixIni\\Vesperix.ini"));
    saveSettings(record);
    QVERIFY(QFile::exists(drives.root() + "/C/OrlentVesperixIni/Vesperix.ini"));
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
