#include "ImageSelection.h"

#include <QtTest>
#include <algorithm>

namespace {

const QDateTime now(QDate(2024, 3, 20), QTime(21, 0, 0));
const QVector<int> allAges = {86399, 86400, 86401};
const QVector<int> within = {86399, 86400};
const QVector<int> older = {86401};

// The data folder's ".tif" names of these classes and ages ("M86400.tif"), in name order.
QStringList images(const char* letters, const QVector<int>& ages) {
    QStringList names;
    for (const char* letter = letters; *letter; ++letter)
        for (int age : ages)
            names << QString("%1%2.tif").arg(*letter).arg(age);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

class TestImageSelection : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void selection_data();
    void selection();

private:
    QTemporaryDir folder;
};

// Every class at an age just within, at and just past 24 hours, and a report that is no image.
void TestImageSelection::initTestCase() {
    QStringList names = images("MCKDFQ", allAges);
    for (int age : allAges)
        names << QString("M%1.rpt").arg(age);
    for (const QString& name : names) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const int age = name.mid(1, 5).toInt();
        QVERIFY(file.setFileTime(now.addSecs(-age), QFileDevice::FileModificationTime));
    }
}

void TestImageSelection::selection_data() {
    QTest::addColumn<bool>("copy");
    QTest::addColumn<int>("option");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("copy 0 all") << true << 0 << images("MCKDF", allAges);
    QTest::newRow("copy 1 no darks or flats") << true << 1 << images("MCK", allAges);
    QTest::newRow("copy 2 all within 24 h") << true << 2 << images("MCKDF", within);
    QTest::newRow("copy 3 pictures within 24 h") << true << 3 << images("MCK", within);
    QTest::newRow("copy unknown option") << true << 4 << QStringList();
    QTest::newRow("delete 0 all") << false << 0 << images("MCKDF", allAges);
    QTest::newRow("delete 1 pictures") << false << 1 << images("MCK", allAges);
    QTest::newRow("delete 2 all older") << false << 2 << images("MCKDF", older);
    QTest::newRow("delete 3 pictures older") << false << 3 << images("MCK", older);
    QTest::newRow("delete 4 all within 24 h") << false << 4 << images("MCKDF", within);
    QTest::newRow("delete 5 pictures within 24 h") << false << 5 << images("MCK", within);
    QTest::newRow("delete 6 darks") << false << 6 << images("D", allAges);
    QTest::newRow("delete 7 flats") << false << 7 << images("F", allAges);
    QTest::newRow("delete unknown option") << false << 8 << QStringList();
}

void TestImageSelection::selection() {
    QFETCH(bool, copy);
    QFETCH(int, option);
    QFETCH(QStringList, names);
    const QVector<ImageSelection::ListedFile> listing = ImageSelection::list(folder.path(), now);
    QCOMPARE(copy ? ImageSelection::forCopy(listing, option)
                  : ImageSelection::forDelete(listing, option),
             names);
}

QTEST_GUILESS_MAIN(TestImageSelection)
#include "tst_imageselection.moc"
