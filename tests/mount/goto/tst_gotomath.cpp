// The goto window's arithmetic: the shorter way round the sky, declinations past a pole, the
// digital camera's offsets, HOME on either side of the pier and the pier-side question.
#include "GotoMath.h"

#include <QtTest>

Q_DECLARE_METATYPE(GotoMath::Move)

class TestGotoMath : public QObject {
    Q_OBJECT
private slots:
    void moves_data();
    void moves();
    void positions();
    void pierSideQuestion_data();
    void pierSideQuestion();
};

void TestGotoMath::moves_data() {
    QTest::addColumn<double>("fromRa");
    QTest::addColumn<double>("fromDec");
    QTest::addColumn<double>("toRa");
    QTest::addColumn<double>("toDec");
    QTest::addColumn<bool>("fromHome");
    QTest::addColumn<QString>("expected"); // axis:dir:degrees ...
    QTest::newRow("350 to 10 is +20") << 350.0 << 0.0 << 10.0 << 0.0 << false << "0:1:20";
    QTest::newRow("10 to 350 is -20") << 10.0 << 0.0 << 350.0 << 0.0 << false << "0:0:20";
    QTest::newRow("north and east") << 100.0 << 10.0 << 130.0 << 40.0 << false << "0:1:30 1:0:30";
    QTest::newRow("south") << 100.0 << 10.0 << 100.0 << -20.0 << false << "1:1:30";
    QTest::newRow("nothing to do") << 42.0 << 5.0 << 42.0 << 5.0 << false << "";
    QTest::newRow("from HOME, RA always moves")
        << 42.0 << 90.0 << 42.0 << 30.0 << true << "0:0:0 1:1:60";
}

void TestGotoMath::moves() {
    QFETCH(double, fromRa);
    QFETCH(double, fromDec);
    QFETCH(double, toRa);
    QFETCH(double, toDec);
    QFETCH(bool, fromHome);
    QFETCH(QString, expected);
    QStringList got;
    for (const GotoMath::Move& m : GotoMath::moves({fromRa, fromDec}, {toRa, toDec}, fromHome))
        got << QString("%1:%2:%3").arg(m.axis).arg(m.dir).arg(m.degrees);
    QCOMPARE(got.join(' '), expected);
}

void TestGotoMath::positions() {
    QCOMPARE(GotoMath::foldDec(95), 85.0);
    QCOMPARE(GotoMath::foldDec(-95), -85.0);
    QCOMPARE(GotoMath::foldDec(45), 45.0);
    QCOMPARE(GotoMath::wrapRa(-10), 350.0);
    QCOMPARE(GotoMath::wrapRa(370), 10.0);
    // The digital camera's offset of 1.5 degrees in RA, with each Dec direction sense.
    GotoMath::Position p = GotoMath::digitalCameraTarget({100, 10}, 1500, 0, 1);
    QCOMPARE(p.ra, 101.5);
    p = GotoMath::digitalCameraTarget({100, 10}, 1500, 0, 0);
    QCOMPARE(p.ra, 98.5);
    p = GotoMath::digitalCameraTarget({359.5, 89.5}, 1000, 1000, 1);
    QCOMPARE(p.ra, 0.5);
    QCOMPARE(p.dec, 89.5); // 90.5 folds back over the pole
    // HOME: the RA axis 90 degrees from the meridian, on each side of the pier.
    QCOMPARE(GotoMath::home(30, 1).ra, 300.0);
    QCOMPARE(GotoMath::home(300, 2).ra, 30.0);
    QCOMPARE(GotoMath::home(300, 2).dec, 90.0);
}

void TestGotoMath::pierSideQuestion_data() {
    QTest::addColumn<double>("objectRa");
    QTest::addColumn<double>("lst");
    QTest::addColumn<QString>("sentence");
    // 2024-10-14 21:30 at 139 degrees east: LST about 350, M31 at RA 10.68 rises in the east.
    QTest::newRow("M31, across RA 0")
        << 10.68 << 350.0 << QStringLiteral("対象天体は子午線より20°東にあります。");
    QTest::newRow("Vega, in the west")
        << 279.23 << 350.0 << QStringLiteral("対象天体は子午線より70°西にあります。");
    QTest::newRow("west across RA 0")
        << 350.0 << 20.0 << QStringLiteral("対象天体は子午線より30°西にあります。");
}

void TestGotoMath::pierSideQuestion() {
    QFETCH(double, objectRa);
    QFETCH(double, lst);
    QFETCH(QString, sentence);
    QCOMPARE(GotoMath::meridianSentence(GotoMath::eastOfMeridian(objectRa, lst)), sentence);
}

QTEST_GUILESS_MAIN(TestGotoMath)
#include "tst_gotomath.moc"
