#include "FileSizeLimit.h"
#include "LogRecorder.h"
#include "PhotoHistory.h"
#include "TestDrives.h"

#include <QtTest>

namespace {

QByteArray lines(int count, int first = 0) {
    QByteArray text;
    for (int i = first; i < first + count; ++i)
        text += QByteArray::number(i) + ".5 -1 2 3 90\n";
    return text;
}

} // namespace

class TestPhotoHistory : public QObject {
    Q_OBJECT
private slots:
    void parsesTheNumberGrammar_data();
    void parsesTheNumberGrammar();
    void emptyAndBlankFiles();
    void missingFileKeepsTheList();
    void editsSaveTheFile();
    void removeLastTouchesMemoryOnly();
    void fullListDropsTheOldest();
    void longFileKeepsTheNewest();
    void failedSaveKeepsTheOldFile();
};

void TestPhotoHistory::parsesTheNumberGrammar_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QVector<double>>("expected");
    QTest::newRow("as written") << QByteArray("83.633000 -5.391000 1.500000 1.000000 90.000000\n")
                                << QVector<double>{83.633, -5.391, 1.5, 1.0, 90.0};
    QTest::newRow("tabs, integers")
        << QByteArray("\t10\t-20 3. .5 7") << QVector<double>{10, -20, 3, 0.5, 7};
    QTest::newRow("no exponent") << QByteArray("1e5 2 3 4 5\n") << QVector<double>{1, 0, 0, 0, 0};
    QTest::newRow("too few") << QByteArray("1 2\n") << QVector<double>{1, 2, 0, 0, 0};
    QTest::newRow("CRLF") << QByteArray("1 2 3 4 5\r\n") << QVector<double>{1, 2, 3, 4, 5};
    QTest::newRow("minus alone") << QByteArray("- 2 3 4 5\n") << QVector<double>{0, 2, 3, 4, 5};
    QTest::newRow("too long to be finite") << QByteArray(400, '9') + " 2 3 4 5\n"
                                           << QVector<double>{0, 2, 3, 4, 5};
}

void TestPhotoHistory::parsesTheNumberGrammar() {
    QFETCH(QByteArray, line);
    QFETCH(QVector<double>, expected);
    TestDrives drives;
    drives.writeSettingsFile("phtohist.txt", line);
    PhotoHistory history;
    history.load();
    QCOMPARE(history.count(), 1);
    const PhotoHistoryEntry entry = *history.entry(0);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(entry[size_t(i)], expected.at(i));
}

void TestPhotoHistory::emptyAndBlankFiles() {
    TestDrives drives;
    PhotoHistory history;
    drives.writeSettingsFile("phtohist.txt", "");
    history.load();
    QCOMPARE(history.count(), 0);

    drives.writeSettingsFile("phtohist.txt", "\n");
    history.load();
    QCOMPARE(history.count(), 1);
    QCOMPARE(*history.entry(0), (PhotoHistoryEntry{0, 0, 0, 0, 0}));
    QVERIFY(!history.entry(1));
    QVERIFY(!history.entry(-1));
}

void TestPhotoHistory::missingFileKeepsTheList() {
    TestDrives drives;
    PhotoHistory history;
    history.add(1, 2, 3, 4, 5);
    QFile::remove(drives.settingsFile("phtohist.txt"));
    LogRecorder log;
    history.load();
    QVERIFY(log.contains("file open error photolist"));
    QCOMPARE(history.count(), 1);
}

void TestPhotoHistory::editsSaveTheFile() {
    TestDrives drives;
    PhotoHistory history;
    LogRecorder log;
    history.add(83.633, -5.391, 1.5, 1.0, 0);
    QVERIFY(log.contains("Make Dir VesperixIni"));
    history.add(10.5, 41.25, 2, 1.5, 90);
    QCOMPARE(drives.readSettingsFile("phtohist.txt"),
             QByteArray("83.633000 -5.391000 1.500000 1.000000 0.000000\n"
                        "10.500000 41.250000 2.000000 1.500000 90.000000\n"));
    history.removeFirst();
    QCOMPARE(drives.readSettingsFile("phtohist.txt"),
             QByteArray("10.500000 41.250000 2.000000 1.500000 90.000000\n"));
    history.clear();
    QCOMPARE(history.count(), 0);
    QCOMPARE(drives.readSettingsFile("phtohist.txt"), QByteArray());
    history.removeFirst(); // nothing to drop: nothing happens
    QCOMPARE(history.count(), 0);
}

void TestPhotoHistory::removeLastTouchesMemoryOnly() {
    TestDrives drives;
    PhotoHistory history;
    history.add(1, 2, 3, 4, 5);
    history.add(6, 7, 8, 9, 10);
    history.removeLast();
    QCOMPARE(history.count(), 1);
    // A crash now: the next start still finds the dropped entry.
    PhotoHistory afterCrash;
    afterCrash.load();
    QCOMPARE(afterCrash.count(), 2);
    history.removeLast();
    history.removeLast();
    QCOMPARE(history.count(), 0);
}

void TestPhotoHistory::fullListDropsTheOldest() {
    TestDrives drives;
    drives.writeSettingsFile("phtohist.txt", lines(100));
    PhotoHistory history;
    history.load();
    QCOMPARE(history.count(), 100);
    history.add(500, 0, 0, 0, 0);
    QCOMPARE(history.count(), 100);
    QCOMPARE((*history.entry(0))[0], 1.5);
    QCOMPARE((*history.entry(99))[0], 500.0);
    PhotoHistory reloaded;
    reloaded.load();
    QCOMPARE(reloaded.count(), 100);
    QCOMPARE((*reloaded.entry(0))[0], 1.5);
}

void TestPhotoHistory::longFileKeepsTheNewest() {
    TestDrives drives;
    drives.writeSettingsFile("phtohist.txt", lines(150) + QByteArray(5000, 'z'));
    PhotoHistory history;
    history.load();
    QCOMPARE(history.count(), 100);
    QCOMPARE((*history.entry(0))[0], 51.5);
    QCOMPARE((*history.entry(98))[0], 149.5);
    QCOMPARE(*history.entry(99), (PhotoHistoryEntry{0, 0, 0, 0, 0})); // the junk line
}

void TestPhotoHistory::failedSaveKeepsTheOldFile() {
    TestDrives drives;
    PhotoHistory history;
    history.add(1, 2, 3, 4, 5);
    const QByteArray before = drives.readSettingsFile("phtohist.txt");
    LogRecorder log;
    {
        FileSizeLimit fullDisk(before.size());
        history.add(6, 7, 8, 9, 10);
    }
    QVERIFY(log.contains("cannot create file photolist"));
    QCOMPARE(drives.readSettingsFile("phtohist.txt"), before);
    QCOMPARE(QDir(drives.settingsFile("")).entryList(QDir::Files), QStringList{"phtohist.txt"});
}

QTEST_GUILESS_MAIN(TestPhotoHistory)
#include "tst_photohistory.moc"
