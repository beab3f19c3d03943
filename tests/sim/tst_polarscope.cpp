#include "Clock.h"
#include "SimCameraModel.h"
#include "SimPolarScope.h"
#include "StarCatalog.h"

#include <QtTest>
#include <memory>
#include <opencv2/imgproc.hpp>

namespace {

// The pole star's J2000 place.
constexpr double poleStarRa = 37.9545;
constexpr double poleStarDec = 89.2641;

} // namespace

// The polar scope judged by an independent reference: the pole star's apparent place and
// hour angle for 15 Dec 2026 21:00 at 139 E, 38 N, UTC+9, put on the frame by hand.
class TestPolarScope : public QObject {
    Q_OBJECT
    StarCatalog catalog;
    std::unique_ptr<SimPolarScope> scope;
    std::int64_t clockMs = 0;

private slots:
    void initTestCase() {
        catalog = loadCatalogs(qEnvironmentVariable("VESPERIX_BIN_DIR"));
        QVERIFY(!catalog.stars.isEmpty());
        Clock::setStartDate(QDateTime(QDate(2026, 12, 15), QTime(21, 0)));
        clockMs = Clock::nowMs();
        scope =
            std::make_unique<SimPolarScope>(catalog, SimCameraModel::withKey("POLAR")->sensor());
    }

    // Full pixels from the axis pixel. The reference is (+2.82, -39.93) pixels of the folded
    // frame (RA 3h08m47s, 37.15' from the pole); 1' of misalignment is 2.155 full pixels; a
    // positive RA angle turns the picture clockwise.
    void poleStar_data() {
        QTest::addColumn<double>("altitudeArcmin");
        QTest::addColumn<double>("azimuthArcmin");
        QTest::addColumn<double>("raAngle");
        QTest::addColumn<double>("dx");
        QTest::addColumn<double>("dy");
        QTest::newRow("aligned") << 0.0 << 0.0 << 0.0 << 5.64 << -79.86;
        QTest::newRow("axis 10' high, 6' west")
            << 10.0 << -6.0 << 0.0 << 5.64 + 12.92 << -79.86 + 21.54;
        QTest::newRow("turned a quarter with the sky") << 0.0 << 0.0 << 90.0 << 79.86 << 5.64;
    }
    void poleStar() {
        QFETCH(double, altitudeArcmin);
        QFETCH(double, azimuthArcmin);
        QFETCH(double, raAngle);
        QFETCH(double, dx);
        QFETCH(double, dy);
        scope->setMisalignment(altitudeArcmin, azimuthArcmin);
        scope->setRaAngle(raAngle);
        double x = 0, y = 0;
        QVERIFY(scope->project(poleStarRa, poleStarDec, clockMs, &x, &y));
        scope->setMisalignment(0, 0);
        scope->setRaAngle(0);
        QVERIFY2(std::abs(x - 700 - dx) < 1 && std::abs(y - 440 - dy) < 1,
                 qPrintable(QString("(%1, %2)").arg(x - 700).arg(y - 440)));
    }

    // At the polar program's start-up settings (gain 100, 1/4 s) its threshold, mean + 4 sigma
    // of the frame folded to 640 x 480, finds the pole star as a small blob where it belongs,
    // and a few other stars; a half-size frame shows the same sky at half scale.
    void frame_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("full size") << 1280 << 960;
        QTest::newRow("half size") << 640 << 480;
    }
    void frame() {
        QFETCH(int, width);
        QFETCH(int, height);
        SimPolarExposure exposure;
        exposure.clockMs = clockMs;
        exposure.width = width;
        exposure.height = height;
        const cv::Mat frame = scope->render(exposure);
        QCOMPARE(frame.type(), CV_8UC3);
        QCOMPARE(frame.cols, width);
        QCOMPARE(frame.rows, height);

        cv::Mat gray, folded, mean, sigma;
        cv::cvtColor(frame, gray, cv::COLOR_BGR2GRAY);
        cv::resize(gray, folded, cv::Size(640, 480), 0, 0, cv::INTER_AREA);
        cv::meanStdDev(folded, mean, sigma);
        const cv::Mat bright = folded > mean.at<double>(0) + 4 * sigma.at<double>(0);
        cv::Mat labels, stats, centroids;
        const int count = cv::connectedComponentsWithStats(bright, labels, stats, centroids, 4);
        double x = 0, y = 0;
        QVERIFY(scope->project(poleStarRa, poleStarDec, clockMs, &x, &y));
        const int poleStar = labels.at<int>(int(std::lround(y / 2)), int(std::lround(x / 2)));
        QVERIFY(poleStar > 0);
        const int area = stats.at<int>(poleStar, cv::CC_STAT_AREA);
        QVERIFY2(area >= 5 && area <= 250, qPrintable(QString::number(area)));
        QVERIFY(std::hypot(centroids.at<double>(poleStar, 0) - x / 2,
                           centroids.at<double>(poleStar, 1) - y / 2) < 0.5);
        int stars = 0;
        for (int i = 1; i < count; ++i)
            stars += stats.at<int>(i, cv::CC_STAT_AREA) >= 5;
        QVERIFY2(stars >= 3, qPrintable(QString::number(stars)));
    }
};

QTEST_GUILESS_MAIN(TestPolarScope)
#include "tst_polarscope.moc"
