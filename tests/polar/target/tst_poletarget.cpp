#include "LogRecorder.h"
#include "PoleTarget.h"

#include <QtTest>

Q_DECLARE_METATYPE(PoleTarget::Outcome)

class TestPoleTarget : public QObject {
    Q_OBJECT
private slots:
    void ringRadius_data();
    void ringRadius();
    void firstOfJanuaryCountsInThePreviousYear();
    void westZeroIsEastZero();
    void targetForAWinterEvening();
    void axisCentre_data();
    void axisCentre();
};

void TestPoleTarget::ringRadius_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("focalI");
    QTest::addColumn<int>("focalF");
    QTest::addColumn<int>("radius");
    QTest::newRow("2025 at 25.00 mm") << 2025 << 25 << 0 << 40;
    QTest::newRow("2025 at 50.00 mm") << 2025 << 50 << 0 << 81;
    // The 2016 row would give 172 and 43.
    QTest::newRow("2014 takes 2015") << 2014 << 99 << 99 << 173;
    QTest::newRow("2050 takes 2045") << 2050 << 25 << 0 << 36;
}

void TestPoleTarget::ringRadius() {
    QFETCH(int, year);
    QFETCH(int, focalI);
    QFETCH(int, focalF);
    QFETCH(int, radius);
    QCOMPARE(PoleTarget::ringRadius(year, focalI, focalF), radius);
}

void TestPoleTarget::firstOfJanuaryCountsInThePreviousYear() {
    QCOMPARE(PoleTarget::modifiedJulianDate(2026, 1, 1), 61041);
}

void TestPoleTarget::westZeroIsEastZero() {
    QCOMPARE(PoleTarget::hourAngle(2026, 12, 15, 21, 0, 0, 0, true, 9),
             PoleTarget::hourAngle(2026, 12, 15, 21, 0, 0, 0, false, 9));
}

void TestPoleTarget::targetForAWinterEvening() {
    const double hourAngle = PoleTarget::hourAngle(2026, 12, 15, 21, 0, 139, 0, false, 9);
    QVERIFY2(qAbs(hourAngle - -0.03213) < 1e-4, QByteArray::number(hourAngle));
    const QPointF target = PoleTarget::targetOffset(PoleTarget::ringRadius(2026, 25, 0), hourAngle);
    QVERIFY2(qAbs(target.x() - 1.28) < 0.01 && qAbs(target.y() - -39.98) < 0.01,
             QByteArray::number(target.x()) + ", " + QByteArray::number(target.y()));
}

void TestPoleTarget::axisCentre_data() {
    QTest::addColumn<QPoint>("p0");
    QTest::addColumn<QPoint>("p1");
    QTest::addColumn<QPoint>("p2");
    QTest::addColumn<PoleTarget::Outcome>("outcome");
    QTest::addColumn<QPoint>("centre");
    QTest::addColumn<QString>("logged");
    using O = PoleTarget::Outcome;
    // Star positions at 20°, 140° and 250° on a circle of 200 around (700, 440), rounded.
    QTest::newRow("star turning about the axis")
        << QPoint(888, 508) << QPoint(547, 569) << QPoint(632, 252) << O::Taken << QPoint(700, 440)
        << "Center(699, 440)";
    QTest::newRow("collinear") << QPoint(100, 100) << QPoint(200, 200) << QPoint(300, 300)
                               << O::NotComputable << QPoint() << "Center error";
    QTest::newRow("repeated point") << QPoint(900, 440) << QPoint(900, 440) << QPoint(700, 640)
                                    << O::NotComputable << QPoint() << "Center error";
    QTest::newRow("x 1099 kept") << QPoint(1299, 440) << QPoint(1099, 240) << QPoint(979, 600)
                                 << O::Taken << QPoint(1099, 440) << "Center(1099, 440)";
    QTest::newRow("x 1100 out of range")
        << QPoint(1300, 440) << QPoint(1100, 240) << QPoint(980, 600) << O::OutOfRange << QPoint()
        << "Center Range error";
}

void TestPoleTarget::axisCentre() {
    QFETCH(QPoint, p0);
    QFETCH(QPoint, p1);
    QFETCH(QPoint, p2);
    QFETCH(PoleTarget::Outcome, outcome);
    QFETCH(QPoint, centre);
    QFETCH(QString, logged);
    LogRecorder log;
    const PoleTarget::AxisCentre found = PoleTarget::axisCentre(p0, p1, p2);
    QCOMPARE(found.outcome, outcome);
    QCOMPARE(log.lines(), QStringList{logged});
    if (outcome == PoleTarget::Outcome::Taken)
        QVERIFY((found.centre - centre).manhattanLength() <= 1);
}

QTEST_GUILESS_MAIN(TestPoleTarget)
#include "tst_poletarget.moc"
