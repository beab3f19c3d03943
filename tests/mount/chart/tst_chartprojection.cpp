// The chart's projection about its centre against the textbook tangent-plane projection,
// for the first-magnitude stars on a January evening at 139 E, 38 N: centred on the zenith,
// where it must also be the observer's sky of altitude and azimuth, and 30 degrees off it.
#include "ChartProjection.h"
#include "ChartScales.h"
#include "FirstMagnitudeStars.h"
#include "SkyTime.h"
#include "StarCatalog.h"

#include <QtTest>
#include <cmath>

namespace {

constexpr double k = M_PI / 180;

double zenithRa() {
    SkyTime::Site site; // 139 E, 38 N, 9 hours ahead
    return SkyTime::siderealHours(2026, 1, 15, 21, 0, site) * 15;
}

// The textbook gnomonic projection, north up and east left.
bool textbook(double ra0, double dec0, double scale, double ra, double dec, cv::Point2d* at) {
    const double da = (ra - ra0) * k;
    const double cosc = std::sin(dec0 * k) * std::sin(dec * k) +
                        std::cos(dec0 * k) * std::cos(dec * k) * std::cos(da);
    if (cosc <= 0)
        return false;
    const double xi = std::cos(dec * k) * std::sin(da) / cosc;
    const double eta = (std::cos(dec0 * k) * std::sin(dec * k) -
                        std::sin(dec0 * k) * std::cos(dec * k) * std::cos(da)) /
                       cosc;
    *at = {600 - scale * xi, 320 - scale * eta};
    return true;
}

} // namespace

class TestChartProjection : public QObject {
    Q_OBJECT
private slots:
    void firstMagnitudeStars_data();
    void firstMagnitudeStars();
    void viewDirections_data();
    void viewDirections();
    void behindTheChart();
    void fieldSize();
};

void TestChartProjection::firstMagnitudeStars_data() {
    QTest::addColumn<double>("offZenith");
    QTest::addColumn<int>("level");
    for (double off : {0.0, 30.0})
        for (int level : {0, 2, 6, 11})
            QTest::addRow("%g deg off the zenith, level %d", off, level) << off << level;
}

void TestChartProjection::firstMagnitudeStars() {
    QFETCH(double, offZenith);
    QFETCH(int, level);
    const double ra0 = zenithRa(), dec0 = 38 - offZenith, scale = ChartScales::chartScale(level);
    const ChartProjection projection(ra0, dec0, scale, 0, {600, 320});
    int compared = 0;
    for (int row = 0; row < FirstMagnitudeStars::count(); ++row) {
        const SkyPosition star = FirstMagnitudeStars::position(row);
        cv::Point2d expected, got;
        const bool front = textbook(ra0, dec0, scale, star.ra, star.dec, &expected);
        QCOMPARE(projection.project(star.ra, star.dec, &got), front);
        if (!front || cv::norm(expected - cv::Point2d(600, 320)) > 1e5)
            continue;
        QVERIFY2(cv::norm(got - expected) < 1, qPrintable(FirstMagnitudeStars::buttonText(row)));
        // Where a touch lands on the sky: back to the star.
        const SkyPosition back = projection.skyAt(got);
        QVERIFY(std::abs(std::remainder(back.ra - star.ra, 360)) * std::cos(star.dec * k) < 1e-6);
        QVERIFY(std::abs(back.dec - star.dec) < 1e-6);
        ++compared;
        if (offZenith != 0 || got.x < 0 || got.x >= 1100 || got.y < 0 || got.y >= 640)
            continue;
        // On the zenith the chart is the sky as the observer sees it: the gnomonic projection
        // of altitude and azimuth (azimuth from the south through the east).
        const SkyTime::Horizontal h = SkyTime::equatorialToHorizontal(ra0, 38, star.ra, star.dec);
        const double r = scale / std::tan(h.altitude * k);
        const cv::Point2d sky(600 - std::sin(h.azimuth * k) * r, 320 + std::cos(h.azimuth * k) * r);
        QVERIFY2(cv::norm(got - sky) < 1, qPrintable(FirstMagnitudeStars::buttonText(row)));
    }
    QVERIFY(compared >= 5);
}

void TestChartProjection::viewDirections_data() {
    QTest::addColumn<int>("turns");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::newRow("N") << 0 << 600 << 98;
    QTest::newRow("E") << 1 << 822 << 320;
    QTest::newRow("S") << 2 << 600 << 542;
    QTest::newRow("W") << 3 << 378 << 320;
}

// A star on the meridian 22 degrees north of the zenith, at level 2.
void TestChartProjection::viewDirections() {
    QFETCH(int, turns);
    QFETCH(int, x);
    QFETCH(int, y);
    const ChartProjection projection(zenithRa(), 38, ChartScales::chartScale(2), turns, {600, 320});
    cv::Point2d at;
    QVERIFY(projection.project(zenithRa(), 60, &at));
    QCOMPARE(cvRound(at.x), x);
    QCOMPARE(cvRound(at.y), y);
}

// Half the sky lies behind the chart: 90 degrees and a little from the centre projects
// nowhere, even at the largest scale, and a segment to such a point is never cut to it.
void TestChartProjection::behindTheChart() {
    const ChartProjection projection(0, 0, ChartScales::chartScale(11), 0, {600, 320});
    cv::Point2d at;
    QVERIFY(!projection.project(90.0001, 0, &at));
    QVERIFY(!projection.project(0, -90.0001, &at));
    QVERIFY(projection.project(89.9999, 0, &at));
    QVERIFY(!insideImage(at, {1100, 640}));
    cv::Point2d a(600, 320), b = at;
    QVERIFY(clipToImage(a, b, {1100, 640}));
    QVERIFY(insideImage(b, {1100, 640}));
}

void TestChartProjection::fieldSize() {
    QCOMPARE(ChartScales::fieldSizeText(ChartScales::chartScale(2)),
             QString("Width = 95.0, Height = 60.4"));
}

QTEST_APPLESS_MAIN(TestChartProjection)
#include "tst_chartprojection.moc"
