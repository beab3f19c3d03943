// Sidereal time and horizontal coordinates against values worked here from the textbook:
// the Julian day of the civil date, the IAU 1982 mean sidereal time of Greenwich, and the
// usual spherical triangle.
#include "SkyTime.h"

#include <QtTest>
#include <cmath>

namespace {

// Julian day of a Gregorian calendar date and universal time (hours).
double julianDay(int year, int month, int day, double hours) {
    if (month <= 2) {
        year -= 1;
        month += 12;
    }
    const int a = year / 100;
    const int b = 2 - a + a / 4;
    return std::floor(365.25 * (year + 4716)) + std::floor(30.6001 * (month + 1)) + day + b -
           1524.5 + hours / 24;
}

// Local mean sidereal time in hours for a local civil time to the minute.
double expectedLst(int year, int month, int day, int hour, int minute, const SkyTime::Site& s) {
    const double jd = julianDay(year, month, day, hour + minute / 60.0 - s.timeZone);
    const double t = (jd - 2451545.0) / 36525;
    const double gmstDegrees = 280.46061837 + 360.98564736629 * (jd - 2451545.0) +
                               0.000387933 * t * t - t * t * t / 38710000;
    const double east = s.west ? -s.longitude : s.longitude;
    const double lst = std::fmod(gmstDegrees + east, 360.0);
    return (lst < 0 ? lst + 360 : lst) / 15;
}

// The difference of two times of day in seconds, across midnight.
double secondsApart(double hoursA, double hoursB) {
    double d = std::fmod(hoursA - hoursB + 36, 24.0) - 12;
    return std::fabs(d) * 3600;
}

} // namespace

class TestSiderealTime : public QObject {
    Q_OBJECT
private slots:
    void siderealTime_data();
    void siderealTime();
    void theWorkedExample();
    void horizontal_data();
    void horizontal();
};

void TestSiderealTime::siderealTime_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<int>("longitude");
    QTest::addColumn<bool>("west");
    QTest::addColumn<int>("timeZone");
    QTest::newRow("1990, east") << QDate(1990, 6, 15) << 22 << 5 << 139 << false << 9;
    QTest::newRow("2060, east") << QDate(2060, 11, 30) << 3 << 59 << 139 << false << 9;
    QTest::newRow("January") << QDate(2024, 1, 3) << 20 << 0 << 135 << false << 9;
    QTest::newRow("February") << QDate(2025, 2, 28) << 23 << 30 << 10 << false << 1;
    QTest::newRow("29 February") << QDate(2024, 2, 29) << 21 << 45 << 139 << false << 9;
    QTest::newRow("1 March after a leap day") << QDate(2024, 3, 1) << 0 << 15 << 139 << false << 9;
    QTest::newRow("west") << QDate(2031, 8, 12) << 22 << 10 << 118 << true << -8;
    QTest::newRow("west, near Greenwich") << QDate(2010, 12, 31) << 23 << 59 << 1 << true << 0;
    QTest::newRow("local date ahead of UT") << QDate(2024, 10, 14) << 0 << 30 << 139 << false << 9;
    QTest::newRow("local date behind UT") << QDate(2045, 1, 1) << 20 << 0 << 75 << true << -5;
    QTest::newRow("far east, January") << QDate(1999, 1, 31) << 5 << 0 << 359 << false << 12;
}

void TestSiderealTime::siderealTime() {
    QFETCH(QDate, date);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(int, longitude);
    QFETCH(bool, west);
    QFETCH(int, timeZone);
    SkyTime::Site site;
    site.longitude = longitude;
    site.west = west;
    site.timeZone = timeZone;
    const double lst =
        SkyTime::siderealHours(date.year(), date.month(), date.day(), hour, minute, site);
    const double expected = expectedLst(date.year(), date.month(), date.day(), hour, minute, site);
    QVERIFY2(lst >= 0 && lst < 24, qPrintable(QString::number(lst)));
    QVERIFY2(secondsApart(lst, expected) < 0.5,
             qPrintable(QString("%1 h against %2 h").arg(lst, 0, 'f', 6).arg(expected, 0, 'f', 6)));
}

void TestSiderealTime::theWorkedExample() {
    // 2000-01-01 00:00, universal time at Greenwich: modified Julian day 51544.
    SkyTime::Site greenwich;
    greenwich.longitude = 0;
    greenwich.timeZone = 0;
    QVERIFY(std::fabs(SkyTime::siderealHours(2000, 1, 1, 0, 0, greenwich) - 6.6645) < 0.0005);
}

void TestSiderealTime::horizontal_data() {
    QTest::addColumn<double>("ha"); // hour angle in degrees
    QTest::addColumn<double>("dec");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("azimuth"); // from the south through the east
    QTest::addColumn<double>("altitude");
    // Textbook values: on the meridian, at the horizon in the east and in the west, the pole.
    QTest::newRow("south on the meridian") << 0.0 << 0.0 << 38.0 << 0.0 << 52.0;
    QTest::newRow("north of the zenith") << 0.0 << 60.0 << 38.0 << 180.0 << 68.0;
    QTest::newRow("rising due east") << -90.0 << 0.0 << 38.0 << 90.0 << 0.0;
    QTest::newRow("setting due west") << 90.0 << 0.0 << 38.0 << 270.0 << 0.0;
    QTest::newRow("the pole") << 45.0 << 90.0 << 38.0 << 180.0 << 38.0;
    // A general case from the spherical triangle, worked to the degree's hundredth.
    const double h = 40 * M_PI / 180, d = 20 * M_PI / 180, l = 38 * M_PI / 180;
    const double alt =
        std::asin(std::sin(l) * std::sin(d) + std::cos(l) * std::cos(d) * std::cos(h));
    const double azWest =
        std::atan2(std::sin(h), std::cos(h) * std::sin(l) - std::tan(d) * std::cos(l));
    // The textbook's azimuth runs from the south through the west.
    QTest::newRow("general") << 40.0 << 20.0 << 38.0 << std::fmod(360 - azWest * 180 / M_PI, 360)
                             << alt * 180 / M_PI;
}

void TestSiderealTime::horizontal() {
    QFETCH(double, ha);
    QFETCH(double, dec);
    QFETCH(double, latitude);
    QFETCH(double, azimuth);
    QFETCH(double, altitude);
    const double lst = 100, ra = lst - ha;
    const SkyTime::Horizontal h = SkyTime::equatorialToHorizontal(lst, latitude, ra, dec);
    QVERIFY2(std::fabs(h.altitude - altitude) < 0.01, qPrintable(QString::number(h.altitude)));
    const double azimuthOff = std::fabs(std::remainder(h.azimuth - azimuth, 360.0));
    QVERIFY2(azimuthOff < 0.01 || altitude > 89.99, qPrintable(QString::number(h.azimuth)));
}

QTEST_GUILESS_MAIN(TestSiderealTime)
#include "tst_siderealtime.moc"
