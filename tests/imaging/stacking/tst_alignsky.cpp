// Frames of the simulated sky, moved and turned on the sensor as a drifting mount moves them,
// aligned on the base by their stars: judged at the true places of the catalogue's stars.
#include "CompositeStarDetector.h"
#include "FrameAligner.h"
#include "SimCameraModel.h"
#include "SkyRenderer.h"
#include "StarCatalog.h"

#include <QtTest>
#include <memory>
#include <opencv2/imgproc.hpp>

class TestAlignSky : public QObject {
    Q_OBJECT
    StarCatalog catalog;
    std::unique_ptr<SkyRenderer> renderer;
    const SimSensor sensor = SimCameraModel::withKey("ASI294MC")->sensor();

    // A light frame as the composite reads it: the colour image (the sensor's mosaic is RGGB)
    // and its grey for the star detection.
    cv::Mat grey(const SimOptics& optics, std::uint64_t frameNumber) const {
        SimExposure exposure;
        exposure.seconds = 30;
        exposure.electronsPerAdu = 0.5;
        exposure.offsetAdu = 500;
        exposure.frameNumber = frameNumber;
        cv::Mat colour, grey;
        cv::cvtColor(renderer->render(sensor, optics, exposure), colour, cv::COLOR_BayerBG2BGR);
        cv::cvtColor(colour, grey, cv::COLOR_BGR2GRAY);
        return grey;
    }

    // The Milky Way in Cygnus through a 200 mm lens: a hundred stars of the catalogue.
    static SimOptics cygnus() {
        SimOptics optics;
        optics.pointingRa = 305;
        optics.pointingDec = 40;
        optics.focalLengthMm = 200;
        optics.seeingFwhmArcsec = 6;
        return optics;
    }

private slots:
    void initTestCase() {
        catalog = loadCatalogs(qEnvironmentVariable("VESPERIX_BIN_DIR"));
        QVERIFY(catalog.stars.size() > 80000);
        renderer = std::make_unique<SkyRenderer>(catalog);
    }

    void alignedOnTheBase_data() {
        QTest::addColumn<double>("dx");
        QTest::addColumn<double>("dy");
        QTest::addColumn<double>("turnDeg");
        QTest::newRow("shifted") << 12.0 << -7.0 << 0.0;
        QTest::newRow("shifted far") << 40.0 << -25.0 << 0.0;
        QTest::newRow("shifted, turned") << 12.0 << -7.0 << 0.3;
        QTest::newRow("shifted far, turned") << 40.0 << -25.0 << 0.3;
        QTest::newRow("after a meridian flip") << 12.0 << -7.0 << 180.2;
    }
    void alignedOnTheBase() {
        QFETCH(double, dx);
        QFETCH(double, dy);
        QFETCH(double, turnDeg);
        SimOptics base = cygnus();
        SimOptics moved = base;
        moved.fieldShiftX = dx;
        moved.fieldShiftY = dy;
        moved.fieldTurnDeg = turnDeg;
        const std::vector<StarEntry> baseStars = CompositeStarDetector::detectStars(grey(base, 1));
        std::vector<StarEntry> frameStars = CompositeStarDetector::detectStars(grey(moved, 2));
        QVERIFY(baseStars.size() > 100);
        const FrameAlignment alignment =
            FrameAligner::align(baseStars, frameStars, cv::Size(sensor.width, sensor.height), 1);
        QCOMPARE(alignment.outcome, FrameAlignment::Aligned);

        // Every catalogue star that lands on both frames: the warp takes its place on the
        // frame onto its place on the base.
        const cv::Matx23d warp(alignment.warp);
        double worst = 0;
        int judged = 0;
        for (const CatalogStar& star : catalog.stars) {
            double bx, by, fx, fy;
            if (!SkyRenderer::project(sensor, base, star.ra, star.dec, &bx, &by) ||
                !SkyRenderer::project(sensor, moved, star.ra, star.dec, &fx, &fy))
                continue;
            if (std::min({bx, fx, by, fy}) < 0 || std::max(bx, fx) >= sensor.width ||
                std::max(by, fy) >= sensor.height)
                continue;
            const cv::Vec2d onBase = warp * cv::Vec3d(fx, fy, 1);
            worst = std::max(worst, std::hypot(onBase[0] - bx, onBase[1] - by));
            ++judged;
        }
        qInfo("%d stars, %.3f px at worst", judged, worst);
        QVERIFY(judged > 100);
        QVERIFY2(worst <= 0.25, qPrintable(QString("%1 px at worst").arg(worst)));
    }

    // Stars trailed by a guiding error grow by about 1.4 in area: refused unless the exclusion
    // condition is loose.
    void trailedStarsAreRefused_data() {
        QTest::addColumn<int>("compCond");
        QTest::addColumn<int>("outcome");
        QTest::newRow("loose") << 0 << int(FrameAlignment::Aligned);
        QTest::newRow("standard") << 1 << int(FrameAlignment::SizeMismatch);
        QTest::newRow("strict") << 2 << int(FrameAlignment::SizeMismatch);
    }
    void trailedStarsAreRefused() {
        QFETCH(int, compCond);
        QFETCH(int, outcome);
        SimOptics base = cygnus();
        SimOptics trailed = base;
        trailed.trailPx = 3.5;
        trailed.trailAngleDeg = 30;
        const std::vector<StarEntry> baseStars = CompositeStarDetector::detectStars(grey(base, 1));
        std::vector<StarEntry> frameStars = CompositeStarDetector::detectStars(grey(trailed, 2));
        const FrameAlignment alignment = FrameAligner::align(
            baseStars, frameStars, cv::Size(sensor.width, sensor.height), compCond);
        QCOMPARE(int(alignment.outcome), outcome);
    }
};

QTEST_MAIN(TestAlignSky)
#include "tst_alignsky.moc"
