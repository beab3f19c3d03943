#include "SkyRenderer.h"
#include "StarCatalog.h"

#include <QtTest>
#include <array>
#include <cmath>
#include <memory>
#include <opencv2/imgproc.hpp>

namespace {

SimSensor sensorOf(int width, int height, bool colour = false, int pattern = 0) {
    SimSensor sensor;
    sensor.width = width;
    sensor.height = height;
    sensor.isColor = colour;
    sensor.bayerPattern = pattern;
    return sensor;
}
const SimSensor big = sensorOf(6248, 4176);
const SimSensor small = sensorOf(1000, 800);

SimExposure exposureOf(SimScene scene, double seconds, int offset = 0) {
    SimExposure exposure;
    exposure.scene = scene;
    exposure.seconds = seconds;
    exposure.offsetAdu = offset;
    return exposure;
}

// Orion, with Betelgeuse well off the centre of the big sensor.
SimOptics orion(double defocus = 0) {
    SimOptics optics;
    optics.pointingRa = 88.5;
    optics.pointingDec = 7.0;
    optics.defocus = defocus;
    return optics;
}

// Background-subtracted centre of light in a window around (x, y).
QPointF centroid(const cv::Mat& frame, double x, double y, int radius) {
    const cv::Rect box(int(x) - radius, int(y) - radius, 2 * radius + 1, 2 * radius + 1);
    cv::Mat w;
    frame(box).convertTo(w, CV_64F);
    w = cv::max(w - cv::mean(w.row(0))[0], 0); // the top row is background
    const cv::Moments m = cv::moments(w);
    return QPointF(box.x + m.m10 / m.m00, box.y + m.m01 / m.m00);
}

// Mean of each site of the full sensor's 2x2 cell, (y & 1) * 2 + (x & 1), in an even-sized
// 16-bit frame starting at (x0, y0).
std::array<double, 4> siteMeans(const cv::Mat& frame, int x0, int y0) {
    std::array<double, 4> sum{};
    for (int r = 0; r < frame.rows; ++r) {
        for (int c = 0; c < frame.cols; ++c)
            sum[((y0 + r) & 1) * 2 + ((x0 + c) & 1)] += frame.at<std::uint16_t>(r, c);
    }
    for (double& s : sum)
        s /= frame.total() / 4.0;
    return sum;
}

} // namespace

class TestSkyRenderer : public QObject {
    Q_OBJECT
    StarCatalog catalog;
    std::unique_ptr<SkyRenderer> renderer;
    QPointF betelgeuse(const SimOptics& optics) {
        for (const CatalogStar& star : catalog.stars) {
            double x, y;
            if (star.hip == 27989 && SkyRenderer::project(big, optics, star.ra, star.dec, &x, &y))
                return QPointF(x, y);
        }
        return QPointF(-1000, -1000);
    }

private slots:
    void initTestCase() {
        catalog = loadCatalogs(qEnvironmentVariable("VESPERIX_BIN_DIR"));
        QVERIFY(catalog.stars.size() > 80000);
        renderer = std::make_unique<SkyRenderer>(catalog);
    }

    void projectionShowsNorthUpEastLeft() {
        const SimSensor sensor = sensorOf(1001, 800); // the centre on a column
        const double step = std::tan(0.5 * M_PI / 180) * 400e3 / 3.76;
        // Half a degree north or east of the pointing, and where that must land, in steps.
        const struct {
            double rotation, ra, dec, x, y;
        } cases[] = {{0, 120, 0.5, 0, -1},
                     {0, 120.5, 0, -1, 0},
                     {90, 120, 0.5, 1, 0},
                     {90, 120.5, 0, 0, -1},
                     {180, 120, 0.5, 0, 1}};
        for (const auto& c : cases) {
            SimOptics optics;
            optics.pointingRa = 120;
            optics.pointingDec = 0;
            optics.rotationDeg = c.rotation;
            double x, y;
            QVERIFY(SkyRenderer::project(sensor, optics, c.ra, c.dec, &x, &y));
            QVERIFY(std::abs(x - (500 + c.x * step)) < 1e-6 &&
                    std::abs(y - (399.5 + c.y * step)) < 1e-6);
            QVERIFY(!SkyRenderer::project(sensor, optics, 300, 0, &x, &y));
        }
    }

    void brightStarLandsOnItsProjection_data() {
        QTest::addColumn<int>("bin");
        QTest::addColumn<bool>("bits16");
        QTest::addColumn<bool>("region"); // an odd-placed region around the star
        QTest::addColumn<double>("rotation");
        QTest::newRow("full 16-bit") << 1 << true << false << 0.0;
        QTest::newRow("bin 2 8-bit") << 2 << false << false << 0.0;
        QTest::newRow("bin 3 turned") << 3 << true << false << 37.0;
        QTest::newRow("region") << 1 << true << true << 0.0;
        QTest::newRow("bin 2 8-bit region") << 2 << false << true << 0.0;
    }
    void brightStarLandsOnItsProjection() {
        QFETCH(int, bin);
        QFETCH(bool, bits16);
        QFETCH(bool, region);
        QFETCH(double, rotation);
        SimOptics optics = orion();
        optics.rotationDeg = rotation;
        SimExposure exposure = exposureOf(SimScene::Sky, 0.05);
        exposure.bin = bin;
        exposure.bits16 = bits16;
        // The centre of binned pixel n lies on sensor pixel n * bin + (bin - 1) / 2.
        QPointF expected = (betelgeuse(optics) - QPointF(1, 1) * ((bin - 1) / 2.0)) / bin;
        if (region) {
            exposure.x = int(expected.x()) - 137;
            exposure.y = int(expected.y()) - 91;
            exposure.width = 301;
            exposure.height = 201;
            expected -= QPointF(exposure.x, exposure.y);
        }
        const cv::Mat frame = renderer->render(big, optics, exposure);
        QCOMPARE(frame.type(), bits16 ? CV_16UC1 : CV_8UC1);
        QCOMPARE(frame.cols, region ? 301 : big.width / bin);
        const QPointF found = centroid(frame, expected.x(), expected.y(), 8);
        QVERIFY2(std::abs(found.x() - expected.x()) < 0.3 &&
                     std::abs(found.y() - expected.y()) < 0.3,
                 qPrintable(QString("found %1, %2").arg(found.x()).arg(found.y())));
    }

    void starLightCrossesTheRegionEdge() {
        const QPointF star = betelgeuse(orion());
        SimExposure exposure = exposureOf(SimScene::Sky, 0.05);
        exposure.x = int(star.x()) - 203; // the last column 4 px left of the star
        exposure.y = int(star.y()) - 50;
        exposure.width = 200;
        exposure.height = 100;
        const cv::Mat frame = renderer->render(big, orion(8), exposure);
        const double edge = cv::mean(frame(cv::Rect(197, 45, 3, 10)))[0];
        QVERIFY2(edge > cv::mean(frame(cv::Rect(0, 45, 3, 10)))[0] + 30,
                 qPrintable(QString::number(edge)));
    }

    void flatFollowsTheBayerPhase_data() {
        QTest::addColumn<int>("pattern");
        QTest::addColumn<QPoint>("origin");
        const char* names[] = {"RGGB", "BGGR", "GRBG", "GBRG"};
        for (int p = 0; p < 4; ++p) {
            for (const QPoint origin : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(3, 5)})
                QTest::addRow("%s at %d,%d", names[p], origin.x(), origin.y()) << p << origin;
        }
    }
    void flatFollowsTheBayerPhase() {
        QFETCH(int, pattern);
        QFETCH(QPoint, origin);
        SimOptics optics;
        optics.vignetting = 0;
        SimExposure exposure = exposureOf(SimScene::FlatPanel, 1);
        exposure.x = origin.x();
        exposure.y = origin.y();
        exposure.width = exposure.height = 200;
        const std::array<double, 4> means =
            siteMeans(renderer->render(sensorOf(1000, 800, true, pattern), optics, exposure),
                      origin.x(), origin.y());
        for (int site = 0; site < 4; ++site) {
            const char filter = "RGGBBGGRGRBGGBRG"[pattern * 4 + site];
            const double expected = 4000 * (filter == 'R' ? 0.85 : filter == 'B' ? 0.70 : 1.0);
            QVERIFY2(
                std::abs(means[site] / expected - 1) < 0.01,
                qPrintable(QString("site %1 (%2): %3").arg(site).arg(filter).arg(means[site])));
        }
    }

    void starColourFollowsItsIndex_data() {
        QTest::addColumn<double>("bv");
        QTest::addColumn<double>("minRedOverBlue");
        QTest::addColumn<double>("maxRedOverBlue");
        QTest::newRow("red") << 1.5 << 2.2 << 100.0;
        QTest::newRow("blue") << -0.3 << 0.0 << 0.8;
        QTest::newRow("unknown is white") << StarCatalog::noColourIndex << 1.19 << 1.24;
    }
    void starColourFollowsItsIndex() {
        QFETCH(double, bv);
        QFETCH(double, minRedOverBlue);
        QFETCH(double, maxRedOverBlue);
        SimOptics optics;
        optics.pointingRa = 10.02;
        optics.pointingDec = 20.0;
        optics.defocus = 12; // over many cells of each colour
        optics.skyElectronsPerSecond = 0;
        SimExposure exposure = exposureOf(SimScene::Sky, 100, 100);
        exposure.sensorTempC = -100;
        const SimSensor sensor = sensorOf(1000, 800, true, 3); // GBRG
        // Two places one pixel apart, so that the star's light starts on either column phase.
        const double pixel = 3.76 / 400e3 * 180 / M_PI / std::cos(20 * M_PI / 180);
        for (const double ra : {10.0, 10.0 + pixel}) {
            StarCatalog one;
            one.stars.append(CatalogStar{1, ra, 20.0, 5.0, bv});
            double x, y;
            QVERIFY(SkyRenderer::project(sensor, optics, ra, 20.0, &x, &y));
            exposure.x = int(x) - 31;
            exposure.y = int(y) - 31;
            exposure.width = exposure.height = 62;
            const std::array<double, 4> m = siteMeans(
                SkyRenderer(one).render(sensor, optics, exposure), exposure.x, exposure.y);
            const double ratio = (m[2] - 100) / (m[1] - 100);
            QVERIFY2(ratio > minRedOverBlue && ratio < maxRedOverBlue,
                     qPrintable(QString::number(ratio)));
        }
    }

    void capOnShowsHotPixelsAndDarkCurrent() {
        SimExposure exposure = exposureOf(SimScene::CapOn, 30, 100);
        const auto hotOf = [&](std::uint32_t seed, std::uint64_t frameNumber) {
            SimSensor sensor = small;
            sensor.seed = seed;
            exposure.frameNumber = frameNumber;
            return cv::Mat(renderer->render(sensor, SimOptics(), exposure) > 200);
        };
        const cv::Mat hot = hotOf(1, 1);
        const int count = cv::countNonZero(hot);
        QVERIFY2(count >= 40 && count <= 160, qPrintable(QString::number(count))); // 0.01%
        QCOMPARE(cv::countNonZero(hot != hotOf(1, 2)), 0);
        QVERIFY(cv::countNonZero(hot & hotOf(2, 1)) < count / 4);

        for (const double temp : {20.0, -10.0}) {
            exposure.sensorTempC = temp;
            const double dark = cv::mean(renderer->render(small, SimOptics(), exposure), ~hot)[0];
            const double expected = 0.02 * std::exp2(temp / 6) * 30;
            QVERIFY2(std::abs(dark - 100 - expected) < 0.05 + 0.02 * expected,
                     qPrintable(QString("%1 °C: %2").arg(temp).arg(dark)));
        }
    }

    void flatPanelFallsOffToTheCorners() {
        SimExposure exposure = exposureOf(SimScene::FlatPanel, 5);
        exposure.sensorTempC = -100; // no hot pixels
        const cv::Mat frame = renderer->render(small, SimOptics(), exposure);
        const double centre = cv::mean(frame(cv::Rect(490, 390, 20, 20)))[0];
        QVERIFY(std::abs(centre / 20000 - 1) < 0.005);
        for (const cv::Point corner : {cv::Point(0, 0), cv::Point(996, 796)}) {
            const double ratio = cv::mean(frame(cv::Rect(corner, cv::Size(4, 4))))[0] / centre;
            QVERIFY2(std::abs(ratio - 0.752) < 0.006, qPrintable(QString::number(ratio)));
        }
        double highest; // no stars
        cv::minMaxLoc(frame, nullptr, &highest);
        QVERIFY(highest < centre + 6 * std::sqrt(centre));
    }

    void noiseIsShotPlusRead_data() {
        QTest::addColumn<double>("light"); // electrons per sensor pixel
        QTest::addColumn<double>("read");
        QTest::addColumn<int>("bin");
        QTest::newRow("faint, bin 2") << 2.0 << 2.0 << 2;
        QTest::newRow("faint, no read noise") << 2.0 << 0.0 << 1;
        QTest::newRow("bright, bin 3") << 1000.0 << 5.0 << 3;
    }
    void noiseIsShotPlusRead() {
        QFETCH(double, light);
        QFETCH(double, read);
        QFETCH(int, bin);
        SimSensor sensor = small;
        sensor.readNoiseElectrons = read;
        SimOptics optics;
        optics.vignetting = 0;
        optics.flatElectronsPerSecond = light;
        SimExposure exposure = exposureOf(SimScene::FlatPanel, 1, 100);
        exposure.sensorTempC = -100; // no dark current to speak of
        exposure.bin = bin;
        cv::Mat frame;
        renderer->render(sensor, optics, exposure).convertTo(frame, CV_64F, 1, -100);
        cv::Scalar mean, deviation;
        cv::meanStdDev(frame, mean, deviation);
        QVERIFY(std::abs(mean[0] / (light * bin * bin) - 1) < 0.01);
        const double variance = deviation[0] * deviation[0];
        QVERIFY2(std::abs(variance / (bin * bin * (light + read * read)) - 1) < 0.05,
                 qPrintable(QString::number(variance)));
        if (read == 0) // a true Poisson law: e^-2 of the pixels get no electron
            QVERIFY(std::abs(cv::countNonZero(frame == 0) / double(frame.total()) - 0.1353) <
                    0.005);
    }

    void framesRepeatPerFrameNumber() {
        SimExposure exposure = exposureOf(SimScene::Sky, 1, 1000);
        exposure.bin = 2;
        exposure.frameNumber = 5;
        const cv::Mat a = renderer->render(big, SimOptics(), exposure);
        QCOMPARE(cv::norm(a, renderer->render(big, SimOptics(), exposure), cv::NORM_INF), 0.0);
        exposure.frameNumber = 6;
        const cv::Mat b = renderer->render(big, SimOptics(), exposure);
        QVERIFY(cv::countNonZero(a != b) > int(a.total() / 2));

        exposure.bits16 = false;
        cv::Mat high(b.size(), CV_8UC1);
        b.forEach<std::uint16_t>([&](std::uint16_t v, const int* at) {
            high.at<std::uint8_t>(at[0], at[1]) = std::uint8_t(v >> 8);
        });
        QCOMPARE(cv::norm(high, renderer->render(big, SimOptics(), exposure), cv::NORM_INF), 0.0);
    }

    void saturationClipsAtFullWell() {
        SimExposure exposure = exposureOf(SimScene::Sky, 30, 16);
        exposure.electronsPerAdu = 4;
        for (const int bin : {1, 2}) {
            exposure.bin = bin;
            double highest;
            cv::minMaxLoc(renderer->render(big, orion(), exposure), nullptr, &highest);
            QCOMPARE(highest, bin * bin * 50000 / 4.0 + 16);
        }
    }

    void regionIsCutToTheSensor() {
        SimExposure exposure;
        exposure.x = 900;
        exposure.y = -20;
        exposure.width = 300;
        exposure.height = 100;
        QCOMPARE(renderer->render(small, SimOptics(), exposure).size(), cv::Size(100, 80));
        exposure.x = 1000;
        QVERIFY(renderer->render(small, SimOptics(), exposure).empty());
        exposure = SimExposure();
        exposure.bin = 0;
        exposure.seconds = std::nan("");
        QCOMPARE(renderer->render(small, SimOptics(), exposure).size(), cv::Size(1000, 800));
    }
};

QTEST_GUILESS_MAIN(TestSkyRenderer)
#include "tst_skyrenderer.moc"
