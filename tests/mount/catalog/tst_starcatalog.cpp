#include "LogRecorder.h"
#include "StarCatalog.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct CatalogueFile {
    const char* name;
    const char* content;
    const char* failure; // logged when the file is missing and the loading stops
};

// One small but well-formed copy of every file, in the loader's order.
const CatalogueFile smallCatalogues[] = {
    {"starData2.txt", "91262,279.23473,38.78369,0.03,-0.001,\n", "file open error 1"},
    {"hipConsteLineData.txt", "279.2347,38.7837,284.7359,32.6896,\n", "file open error 1-10"},
    {"consteNamePosData.txt", "283.000,36.000,こと座,Lyra\n", "file open error 3"},
    {"hipNameData.txt", "91262,ベガ\n", "file open error 4"},
    {"hipStarNameData.txt", "279.23473,38.78369,\n", "file open error 4r"},
    {"messierData.txt", "83.6250,22.0167,\n", "file open error 5"},
    {"ngcData.txt", "7.1,8.2,\n", "file open error 6"},
    {"icData.txt", "1.5,2.5,\n", "file open error 7"},
    {"milkyway.txt", "19.0891,-37.021,28,\n", "file open error 7"},
    {"ngcLib.txt", "1\n0\n", nullptr},
    {"icLib.txt.txt", "1\n0\n", nullptr},
};

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

void writeSmallCatalogues(const QString& folder) {
    for (const CatalogueFile& file : smallCatalogues)
        writeFile(folder + '/' + file.name, file.content);
    QDir().mkpath(folder + "/StarImage");
    for (const char* colour : {"red", "orange", "yellow", "white", "cyan", "blue"}) {
        const bool withPix = QString(colour) == "red" || QString(colour) == "white";
        for (int size : StarCatalog::spriteSizes) {
            QImage sprite(size, size, QImage::Format_RGB32);
            sprite.fill(Qt::white);
            const QString name = colour + QString::number(size) + (withPix ? "pix" : "") + ".jpg";
            QVERIFY(sprite.save(folder + "/StarImage/" + name));
        }
    }
}

int presentCount(const QVector<CatalogObject>& objects) {
    return int(std::count_if(objects.begin(), objects.end(),
                             [](const CatalogObject& o) { return o.present; }));
}

const CatalogStar* starOf(const StarCatalog& catalog, int hip) {
    for (const CatalogStar& star : catalog.stars) {
        if (star.hip == hip)
            return &star;
    }
    return nullptr;
}

int loadedCount(const StarCatalog& c, int file) {
    const int counts[] = {
        c.stars.size(),      c.constellationLines.size(), c.constellationNames.size(),
        c.starNames.size(),  c.starNamePositions.size(),  presentCount(c.messier),
        presentCount(c.ngc), presentCount(c.ic),          c.milkyWay.size()};
    return counts[file];
}

} // namespace

class TestStarCatalog : public QObject {
    Q_OBJECT
private slots:
    void shippedCataloguesAreComplete();
    void shippedCataloguesHoldKnownObjects_data();
    void shippedCataloguesHoldKnownObjects();
    void shippedNamesAreJapanese();
    void numberGrammar_data();
    void numberGrammar();
    void numberedObjectsKeepTheirLine();
    void lineBuffers();
    void missingCatalogueStopsTheLoading_data();
    void missingCatalogueStopsTheLoading();
    void missingListOrSpriteIsOnlyLogged();
    void unusualColourIndexIsLogged();
};

void TestStarCatalog::shippedCataloguesAreComplete() {
    LogRecorder log;
    const StarCatalog catalog = loadCatalogs(qEnvironmentVariable("VESPERIX_BIN_DIR"));
    QVERIFY(log.lines().filter("error").isEmpty());
    QVERIFY(catalog.stars.size() > 80000);
    QVERIFY(std::all_of(catalog.stars.begin(), catalog.stars.end(),
                        [](const CatalogStar& s) { return s.vmag < 9.0; }));
    QVERIFY(catalog.constellationLines.size() >= 673);
    QCOMPARE(catalog.constellationNames.size(), 89);
    QVERIFY(catalog.starNames.size() >= 219);
    QCOMPARE(catalog.starNamePositions.size(), catalog.starNames.size());
    QCOMPARE(presentCount(catalog.messier), 110);
    QCOMPARE(catalog.ngc.size(), 7840);
    QCOMPARE(catalog.ic.size(), 5386);
    QVERIFY(presentCount(catalog.ngc) > 6500);
    QVERIFY(presentCount(catalog.ic) > 3000);
    QVERIFY(qAbs(catalog.milkyWay.size() - 129664) < 2000);
    for (const MilkyWayPoint& point : catalog.milkyWay) {
        QVERIFY(point.ra >= 0 && point.ra < 360);
        QVERIFY(point.level / 2 > 5); // every shipped point shows on the chart
    }
    QVERIFY(catalog.ngcLib.contains(7000));
    QVERIFY(catalog.icLib.contains(434));
    for (int row = 0; row < StarCatalog::spriteRows; ++row) {
        for (int column = 0; column < StarCatalog::spriteColumns; ++column) {
            const QImage& sprite = catalog.sprites[row][column];
            QCOMPARE(sprite.width(), StarCatalog::spriteSizes[row]);
            // Bright in the middle, background at the corners for the chart's copy rule.
            const QRgb centre = sprite.pixel(sprite.width() / 2, sprite.height() / 2);
            QVERIFY(qRed(centre) > 5 && qGreen(centre) > 5 && qBlue(centre) > 20);
            QVERIFY(qBlue(sprite.pixel(0, 0)) <= 20);
        }
    }
}

void TestStarCatalog::shippedCataloguesHoldKnownObjects_data() {
    QTest::addColumn<QString>("object");
    QTest::addColumn<double>("ra");
    QTest::addColumn<double>("dec");
    QTest::newRow("Vega") << "HIP 91262" << 279.2347 << 38.7837;
    QTest::newRow("Sirius") << "HIP 32349" << 101.2872 << -16.7161;
    QTest::newRow("Polaris") << "HIP 11767" << 37.9546 << 89.2641;
    QTest::newRow("M42") << "M 42" << 83.822 << -5.391;
    QTest::newRow("M31") << "M 31" << 10.685 << 41.269;
    QTest::newRow("NGC 7000") << "NGC 7000" << 314.75 << 44.37;
    QTest::newRow("NGC 224 is M31") << "NGC 224" << 10.685 << 41.269;
    QTest::newRow("IC 434") << "IC 434" << 85.25 << -2.46;
}

void TestStarCatalog::shippedCataloguesHoldKnownObjects() {
    QFETCH(QString, object);
    QFETCH(double, ra);
    QFETCH(double, dec);
    static const StarCatalog catalog = loadCatalogs(qEnvironmentVariable("VESPERIX_BIN_DIR"));
    const QStringList parts = object.split(' ');
    const int number = parts.at(1).toInt();
    double foundRa = 0, foundDec = 0;
    if (parts.at(0) == "HIP") {
        const CatalogStar* star = starOf(catalog, number);
        QVERIFY(star);
        foundRa = star->ra;
        foundDec = star->dec;
    } else {
        const CatalogObject* o = parts.at(0) == "M"     ? catalog.messierObject(number)
                                 : parts.at(0) == "NGC" ? catalog.ngcObject(number)
                                                        : catalog.icObject(number);
        QVERIFY(o);
        foundRa = o->ra;
        foundDec = o->dec;
    }
    QVERIFY2(qAbs(foundRa - ra) < 0.15 && qAbs(foundDec - dec) < 0.15,
             qPrintable(QString("%1 %2").arg(foundRa).arg(foundDec)));
    if (object == "HIP 32349") {
        QCOMPARE(starOf(catalog, number)->vmag, -1.44);
        QCOMPARE(starOf(catalog, number)->bvCol, 0.009);
    }
}

void TestStarCatalog::shippedNamesAreJapanese() {
    const StarCatalog catalog = loadCatalogs(qEnvironmentVariable("VESPERIX_BIN_DIR"));
    int vega = -1;
    for (int i = 0; i < catalog.starNames.size(); ++i) {
        if (catalog.starNames.at(i).hip == 91262)
            vega = i;
    }
    QVERIFY(vega >= 0);
    QCOMPARE(catalog.starNames.at(vega).name, QStringLiteral("ベガ"));
    QVERIFY(StarCatalog::isFamousName(catalog.starNames.at(vega).name));
    QVERIFY(qAbs(catalog.starNamePositions.at(vega).dec - 38.78) < 0.01);
    const int famous =
        int(std::count_if(catalog.starNames.begin(), catalog.starNames.end(),
                          [](const StarName& s) { return StarCatalog::isFamousName(s.name); }));
    QVERIFY(famous > 200 && famous < catalog.starNames.size());

    bool orion = false;
    for (const ConstellationName& c : catalog.constellationNames)
        orion |= c.name == QStringLiteral("オリオン座") && c.secondName == "Orion" && c.present;
    QVERIFY(orion);
    QVERIFY(!StarCatalog::isFamousName("Vega"));
    QVERIFY(!StarCatalog::isFamousName(""));
}

void TestStarCatalog::numberGrammar_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("present");
    QTest::addColumn<double>("ra");
    QTest::addColumn<double>("dec");
    QTest::newRow("plain") << QByteArray("83.6250,22.0167,\n") << true << 83.625 << 22.0167;
    QTest::newRow("small negative") << QByteArray("10.5,-0.5,\n") << true << 10.5 << -0.5;
    QTest::newRow("negative") << QByteArray("10.5,-12.25,\n") << true << 10.5 << -12.25;
    QTest::newRow("any point character") << QByteArray("10x5;7x25;\n") << true << 10.5 << 7.25;
    QTest::newRow("CRLF") << QByteArray("1.5,2.5,\r\n") << true << 1.5 << 2.5;
    QTest::newRow("no last separator") << QByteArray("1.5,2.5") << true << 1.5 << 2.5;
    // Without a point the first separator is taken for it: "12,34," is one number.
    QTest::newRow("no point") << QByteArray("12,34,56,78,\n") << true << 12.34 << 56.78;
    QTest::newRow("no point, two fields") << QByteArray("12,34,\n") << false << 0.0 << 0.0;
    QTest::newRow("empty line") << QByteArray("\n") << false << 0.0 << 0.0;
    QTest::newRow("letters") << QByteArray("abc,def,\n") << false << 0.0 << 0.0;
}

void TestStarCatalog::numberGrammar() {
    QFETCH(QByteArray, line);
    QFETCH(bool, present);
    QFETCH(double, ra);
    QFETCH(double, dec);
    QTemporaryDir folder;
    writeSmallCatalogues(folder.path());
    writeFile(folder.path() + "/messierData.txt", line);
    const StarCatalog catalog = loadCatalogs(folder.path());
    QCOMPARE(catalog.messier.size(), 110);
    const CatalogObject* m1 = catalog.messierObject(1);
    QCOMPARE(bool(m1), present);
    if (m1) {
        QCOMPARE(m1->ra, ra);
        QCOMPARE(m1->dec, dec);
    }
}

void TestStarCatalog::numberedObjectsKeepTheirLine() {
    QTemporaryDir folder;
    writeSmallCatalogues(folder.path());
    writeFile(folder.path() + "/ngcData.txt", "1.0,2.0,\n\n3.0,-4.0,\n");
    QByteArray messier;
    for (int n = 1; n <= 120; ++n)
        messier += QByteArray::number(n) + ".0,1.0,\n";
    writeFile(folder.path() + "/messierData.txt", messier);
    const StarCatalog catalog = loadCatalogs(folder.path());
    QCOMPARE(catalog.ngcObject(1)->ra, 1.0);
    QVERIFY(!catalog.ngcObject(2));
    QCOMPARE(catalog.ngcObject(3)->dec, -4.0);
    QVERIFY(!catalog.ngcObject(4));
    QVERIFY(!catalog.ngcObject(0));
    QVERIFY(!catalog.ngcObject(7841));
    QCOMPARE(catalog.messier.size(), 110); // lines beyond the catalogue are not objects
    QCOMPARE(catalog.messierObject(110)->ra, 110.0);
    QVERIFY(!catalog.messierObject(111));
}

void TestStarCatalog::lineBuffers() {
    QTemporaryDir folder;
    writeSmallCatalogues(folder.path());
    // 48 characters fit a star line; the 49th and what follows become a line of their own.
    const QByteArray star = "1,10.00000,20.00000,5.00,0.500,";
    writeFile(folder.path() + "/starData2.txt",
              star + '\n' + star + QByteArray(48 - star.size(), ' ') + "2,1.0,2.0,3.0,0.1,\n");
    // Names have room for 78 characters.
    const QByteArray longName = QByteArray(70, 'a');
    writeFile(folder.path() + "/hipNameData.txt", "5," + longName + "bcdefghij\n");
    writeFile(folder.path() + "/consteNamePosData.txt",
              "1.0,2.0,みなみのかんむり座,Corona Australis\r\n3.0,4.0,Nameless\n");
    writeFile(folder.path() + "/ngcLib.txt", "7000\n\n224\n0\n5\n");
    writeFile(folder.path() + "/icLib.txt.txt", "");
    const StarCatalog catalog = loadCatalogs(folder.path());

    QCOMPARE(catalog.stars.size(), 3);
    QCOMPARE(catalog.stars.at(0).bvCol, 0.5);
    QCOMPARE(catalog.stars.at(2).hip, 2);
    QCOMPARE(catalog.stars.at(2).vmag, 3.0);
    // The rest of the long name line ("hij") starts no entry.
    QCOMPARE(catalog.starNames.size(), 1);
    QCOMPARE(catalog.starNames.at(0).name, longName + "bcdefg");
    QCOMPARE(catalog.constellationNames.size(), 2);
    QCOMPARE(catalog.constellationNames.at(0).name, QStringLiteral("みなみのかんむり座"));
    QCOMPARE(catalog.constellationNames.at(0).secondName, QString("Corona Australis"));
    QCOMPARE(catalog.constellationNames.at(1).name, QString("Nameless"));
    QCOMPARE(catalog.constellationNames.at(1).secondName, QString());
    QCOMPARE(catalog.ngcLib, (QVector<int>{7000, 224}));
    QCOMPARE(catalog.icLib, QVector<int>());
}

void TestStarCatalog::missingCatalogueStopsTheLoading_data() {
    QTest::addColumn<int>("missing");
    for (int i = 0; i < 9; ++i)
        QTest::newRow(smallCatalogues[i].name) << i;
}

void TestStarCatalog::missingCatalogueStopsTheLoading() {
    QFETCH(int, missing);
    QTemporaryDir folder;
    writeSmallCatalogues(folder.path());
    QFile::remove(folder.path() + '/' + smallCatalogues[missing].name);
    LogRecorder log;
    const StarCatalog catalog = loadCatalogs(folder.path());
    QCOMPARE(log.lines(), QStringList{smallCatalogues[missing].failure});
    for (int file = 0; file < 9; ++file)
        QCOMPARE(loadedCount(catalog, file), file < missing ? 1 : 0);
    QVERIFY(catalog.ngcLib.isEmpty());
    QVERIFY(catalog.sprites[0][0].isNull());
}

void TestStarCatalog::missingListOrSpriteIsOnlyLogged() {
    QTemporaryDir folder;
    writeSmallCatalogues(folder.path());
    QFile::remove(folder.path() + "/ngcLib.txt");
    QFile::remove(folder.path() + "/StarImage/orange12.jpg");
    writeFile(folder.path() + "/StarImage/blue4.jpg", "not a picture");
    LogRecorder log;
    const StarCatalog catalog = loadCatalogs(folder.path());
    QCOMPARE(log.lines(),
             (QStringList{"file read error " + folder.path() + "\\StarImage\\orange12.jpg",
                          "file read error " + folder.path() + "\\StarImage\\blue4.jpg"}));
    QVERIFY(catalog.ngcLib.isEmpty());
    QCOMPARE(catalog.icLib, QVector<int>{1});
    QVERIFY(catalog.sprites[4][StarCatalog::Orange].isNull());
    QVERIFY(!catalog.sprites[4][StarCatalog::Red].isNull());
    QCOMPARE(loadedCount(catalog, 8), 1);
}

void TestStarCatalog::unusualColourIndexIsLogged() {
    QTemporaryDir folder;
    writeSmallCatalogues(folder.path());
    writeFile(folder.path() + "/starData2.txt", "7,1.0,2.0,3.0,2.0,\n8,1.0,2.0,3.0,1.999,\n"
                                                "9,1.0,2.0,3.0,-1000.0,\n10,4.5,-6.25,7.0,-1.0,\n");
    LogRecorder log;
    loadCatalogs(folder.path());
    const QStringList expected = {"[0] hip=7 ra=1.00 dec=2.00 vmag=3.00 bvCol=2.000",
                                  "[3] hip=10 ra=4.50 dec=-6.25 vmag=7.00 bvCol=-1.000"};
    QCOMPARE(log.lines(), expected);
}

QTEST_GUILESS_MAIN(TestStarCatalog)
#include "tst_starcatalog.moc"
