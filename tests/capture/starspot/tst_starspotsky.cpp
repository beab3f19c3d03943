#include "DetectionThreshold.h"
#include "SimCameraModel.h"
#include "SkyRenderer.h"
#include "StarCatalog.h"
#include "StarSpotDetector.h"

#include <QtTest>
#include <cmath>
#include <memory>

namespace {

// The guide camera at 2 x 2 binning: a 640 x 480 frame.
SimSensor guideSensor() {
    return SimCameraModel::withKey("ASI120MM")->sensor();
}

// An off-axis guider on an 800 mm telescope: a 3" star is 1.5 binned pixels across, and a
// 4 s exposure at this gain puts the background near 16 of 255.
SimExposure guideExposure(std::uint64_t frameNumber) {
    SimExposure exposure;
    exposure.seconds = 4;
    exposure.electronsPerAdu = 0.05;
    exposure.offsetAdu = 16 * 256;
    exposure.bin = 2;
    exposure.bits16 = false;
    exposure.frameNumber = frameNumber;
    return exposure;
}

} // namespace

class TestStarSpotSky : public QObject {
    Q_OBJECT
    StarCatalog catalog;
    std::unique_ptr<SkyRenderer> renderer;
    const SimSensor sensor = guideSensor();

    // Distance from (x, y) of the binned frame to the nearest catalogue star as rendered.
    double nearestStar(const SimOptics& optics, double x, double y) const {
        double nearest = 1e9;
        for (const CatalogStar& star : catalog.stars) {
            double sx, sy;
            if (SkyRenderer::project(sensor, optics, star.ra, star.dec, &sx, &sy)) {
                // The centre of binned pixel n lies on sensor pixel 2 n + 0.5.
                nearest = std::min(nearest, std::hypot((sx - 0.5) / 2 - x, (sy - 0.5) / 2 - y));
            }
        }
        return nearest;
    }

private slots:
    void initTestCase() {
        QCOMPARE(sensor.width, 1280);
        catalog = loadCatalogs(qEnvironmentVariable("VESPERIX_BIN_DIR"));
        QVERIFY(catalog.stars.size() > 80000);
        renderer = std::make_unique<SkyRenderer>(catalog);
    }

    void guideStarIsARenderedStar_data() {
        QTest::addColumn<double>("ra");
        QTest::addColumn<double>("dec");
        QTest::addColumn<int>("minStars");
        QTest::newRow("Trapezium") << 83.82 << -5.39 << 4;
        QTest::newRow("Sirius, saturated") << 101.29 << -16.72 << 1;
    }
    void guideStarIsARenderedStar() {
        QFETCH(double, ra);
        QFETCH(double, dec);
        QFETCH(int, minStars);
        SimOptics optics;
        optics.pointingRa = ra;
        optics.pointingDec = dec;
        optics.focalLengthMm = 800;
        optics.seeingFwhmArcsec = 3;
        for (std::uint64_t frameNumber = 1; frameNumber <= 6; ++frameNumber) {
            const cv::Mat frame = renderer->render(sensor, optics, guideExposure(frameNumber));
            QCOMPARE(frame.size(), cv::Size(640, 480));
            const int threshold = detectionThreshold(frame);
            StarSpotDetector detector(frame);
            const int found = detector.findStars(threshold, false);
            QVERIFY2(found >= minStars, qPrintable(QString::number(found)));
            // Every spot is a star, not noise or a hot pixel.
            for (int i = 0; i < found; ++i)
                QVERIFY(nearestStar(optics, detector.starX(i), detector.starY(i)) < 0.25);
            QVERIFY(detector.chosen() >= 0);
            const double miss = nearestStar(optics, detector.chosenX(), detector.chosenY());
            QVERIFY2(miss < 0.1, qPrintable(QString("frame %1: %2").arg(frameNumber).arg(miss)));

            // The guider then follows it in a 16 x 16 box with the refined threshold, which
            // keeps only the core of the star (about 9 pixels here): a coarser measure.
            const int boxX = detector.starBoxX(detector.chosen());
            const int boxY = detector.starBoxY(detector.chosen());
            StarSpotDetector box(frame(cv::Rect(boxX, boxY, 16, 16)));
            QVERIFY(box.findStars(threshold, true) >= 1);
            QVERIFY(box.findStars(box.refinedThreshold(threshold), true) >= 1);
            const double boxMiss =
                nearestStar(optics, boxX + box.chosenBoxX() + 8, boxY + box.chosenBoxY() + 8);
            QVERIFY2(boxMiss < 0.15,
                     qPrintable(QString("frame %1, box: %2").arg(frameNumber).arg(boxMiss)));
        }
    }
};

QTEST_GUILESS_MAIN(TestStarSpotSky)
#include "tst_starspotsky.moc"
