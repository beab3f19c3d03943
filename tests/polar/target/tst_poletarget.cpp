#include "ApparentPlace.h"
#include "LogRecorder.h"
#include "PoleTarget.h"

#include <QtTest>
#include <cmath>

Q_DECLARE_METATYPE(PoleTarget::Outcome)

class TestPoleTarget : public QObject {
    Q_OBJECT
private slots:
    void ringRadius_data();
    void ringRadius();
    void firstOfJanuaryCountsInThePreviousYear();
    void westZeroIsEastZero();
    void targetForAWinterEvening();
    void apparentTargetForAWinterEvening();
    void siderealTime_data();
    void siderealTime();
    void apparentPlace_data();
    void apparentPlace();
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

void TestPoleTarget::apparentTargetForAWinterEvening() {
    const ApparentPlace::Place star =
        ApparentPlace(QDateTime(QDate(2026, 12, 15), QTime(12, 0), Qt::UTC))(37.9545, 89.2641);
    const double raSeconds = star.ra * 240;
    const double poleArcmin = (90 - star.dec) * 60;
    // 3 s of RA here are half a second of arc on the sky.
    QVERIFY2(qAbs(raSeconds - (3 * 3600 + 8 * 60 + 47)) < 3 && qAbs(poleArcmin - 37.15) < 0.01,
             QByteArray::number(raSeconds) + " s, " + QByteArray::number(poleArcmin) + "'");
    const QPointF target =
        PoleTarget::apparentTargetOffset(2026, 12, 15, 21, 0, 0, 139, 0, false, 9, 25, 0);
    QVERIFY2(qAbs(target.x() - 2.82) < 0.02 && qAbs(target.y() - -39.93) < 0.02,
             QByteArray::number(target.x()) + ", " + QByteArray::number(target.y()));
}

// One row a month, 2015-2045, from an independent ephemeris (tools/poleref/generate): the
// instant in UT, the pole star's apparent RA and Dec in degrees, the apparent local sidereal
// time at 139° E in hours.
static void addReferenceRows() {
    QTest::addColumn<QDateTime>("utc");
    QTest::addColumn<double>("ra");
    QTest::addColumn<double>("dec");
    QTest::addColumn<double>("lst");
    QFile table(QFINDTESTDATA("poleref.txt"));
    QVERIFY(table.open(QIODevice::ReadOnly | QIODevice::Text));
    while (!table.atEnd()) {
        const QString line = QString::fromLatin1(table.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList f = line.split(' ', Qt::SkipEmptyParts);
        QCOMPARE(f.size(), 9);
        const QDateTime utc(QDate(f[0].toInt(), f[1].toInt(), f[2].toInt()),
                            QTime(f[3].toInt(), f[4].toInt(), f[5].toInt()), Qt::UTC);
        QTest::newRow(qPrintable(utc.toString("yyyy-MM")))
            << utc << f[6].toDouble() << f[7].toDouble() << f[8].toDouble();
    }
}

void TestPoleTarget::siderealTime_data() {
    addReferenceRows();
}

void TestPoleTarget::siderealTime() {
    QFETCH(QDateTime, utc);
    QFETCH(double, lst);
    // Entered as local time in zone +9, as the program's clock gives it.
    const QDateTime local = utc.addSecs(9 * 3600);
    const double hours = PoleTarget::siderealHours(
        local.date().year(), local.date().month(), local.date().day(), local.time().hour(),
        local.time().minute(), local.time().second(), 139, 0, false, 9);
    double seconds = (hours - lst) * 3600;
    seconds -= std::round(seconds / 86400) * 86400;
    // The program's time is mean sidereal time, the table's apparent: they part by the
    // equation of the equinoxes, at most 1.2 s.
    QVERIFY2(qAbs(seconds) < 2 + 1.2, QByteArray::number(seconds) + " s");
}

void TestPoleTarget::apparentPlace_data() {
    addReferenceRows();
}

void TestPoleTarget::apparentPlace() {
    QFETCH(QDateTime, utc);
    QFETCH(double, ra);
    QFETCH(double, dec);
    const ApparentPlace::Place place = ApparentPlace(utc)(37.9545, 89.2641);
    const double raDegrees = std::remainder(place.ra - ra, 360.0);
    const double arcmin =
        60 * std::hypot(raDegrees * std::cos(qDegreesToRadians(dec)), place.dec - dec);
    QVERIFY2(arcmin < 0.2, QByteArray::number(arcmin) + "'");
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
