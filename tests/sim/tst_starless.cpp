#include "Screenshot.h"
#include "SimDeepSky.h"
#include "SkyRenderer.h"
#include "StarCatalog.h"
#include "StarRemoval.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace {

// The default colour camera at the default pointing, Orion's sword, exposed long enough for
// the nebula to fill the picture as it does in a stacked series.
SimSensor colourSensor() {
    SimSensor sensor;
    sensor.width = 4144;
    sensor.height = 2822;
    sensor.pixelSizeUm = 4.63;
    sensor.isColor = true;
    return sensor;
}

SimExposure longExposure() {
    SimExposure exposure;
    exposure.seconds = 60;
    exposure.electronsPerAdu = 0.1;
    exposure.offsetAdu = 1024;
    return exposure;
}

cv::Mat colourFrame(const SkyRenderer& sky) {
    cv::Mat colour;
    cv::cvtColor(sky.render(colourSensor(), SimOptics(), longExposure()), colour,
                 cv::COLOR_BayerBG2BGR);
    return colour;
}

cv::Mat grey(const cv::Mat& colour) {
    cv::Mat g;
    cv::cvtColor(colour, g, cv::COLOR_BGR2GRAY);
    g.convertTo(g, CV_32F);
    return g;
}

// A quarter-size view stretched between the sky and its brighter parts, to look at.
QImage preview(const cv::Mat& colour) {
    cv::Mat small;
    cv::resize(colour, small, cv::Size(), 0.25, 0.25, cv::INTER_AREA);
    small.convertTo(small, CV_8U, 255.0 / 3000, -255.0 * 1800 / 3000);
    cv::cvtColor(small, small, cv::COLOR_BGR2RGB);
    return QImage(small.data, small.cols, small.rows, int(small.step), QImage::Format_RGB888)
        .copy();
}

// The largest value in a 5 x 5 window over the median of a ring 12..16 pixels out.
double peakOverBackground(const cv::Mat& g, cv::Point at) {
    double peak = 0;
    std::vector<float> ring;
    for (int dy = -16; dy <= 16; ++dy) {
        for (int dx = -16; dx <= 16; ++dx) {
            const float v = g.at<float>(at.y + dy, at.x + dx);
            const int r2 = dx * dx + dy * dy;
            if (std::abs(dx) <= 2 && std::abs(dy) <= 2)
                peak = std::max(peak, double(v));
            else if (r2 >= 144 && r2 <= 256)
                ring.push_back(v);
        }
    }
    std::nth_element(ring.begin(), ring.begin() + ring.size() / 2, ring.end());
    return peak - ring[ring.size() / 2];
}

QString starlessProgram() {
    return qEnvironmentVariable("VESPERIX_BIN_DIR") + "/starnet++";
}

} // namespace

class TestStarless : public QObject {
    Q_OBJECT
    StarCatalog catalog;
    std::vector<SimDeepSkyObject> deepSky;
    cv::Mat frame, starless;      // the sky with its nebulae
    cv::Mat plain, plainStarless; // the same sky without them

private slots:
    void initTestCase() {
        catalog = loadCatalogs(qEnvironmentVariable("VESPERIX_BIN_DIR"));
        deepSky = loadDeepSky(qEnvironmentVariable("VESPERIX_BIN_DIR"), catalog);
        QVERIFY(catalog.stars.size() > 80000 && deepSky.size() > 5000);
        frame = colourFrame(SkyRenderer(catalog, deepSky));
        plain = colourFrame(SkyRenderer(catalog));
        QElapsedTimer timer;
        timer.start();
        starless = StarRemoval().starless(frame);
        qInfo("stars removed from %dx%d in %lld ms", frame.cols, frame.rows, timer.elapsed());
        plainStarless = StarRemoval().starless(plain);
        saveScreenshot(preview(frame), "starless_source");
        saveScreenshot(preview(starless), "starless_result");
    }

    void faintStarsLoseTheirPeak() {
        const cv::Mat before = grey(frame), after = grey(starless);
        int stars = 0;
        double worst = 1;
        for (const CatalogStar& star : catalog.stars) {
            double x, y;
            if (star.vmag <= 8 ||
                !SkyRenderer::project(colourSensor(), SimOptics(), star.ra, star.dec, &x, &y) ||
                x < 20 || y < 20 || x > frame.cols - 21 || y > frame.rows - 21)
                continue;
            const cv::Point at(int(std::lround(x)), int(std::lround(y)));
            const double removed =
                1 - peakOverBackground(after, at) / peakOverBackground(before, at);
            worst = std::min(worst, removed);
            ++stars;
        }
        qInfo("%d stars fainter than magnitude 8, least removed %.3f", stars, worst);
        QVERIFY(stars >= 5);
        QVERIFY(worst >= 0.95);
    }

    // Blocks that no catalogue star comes near keep their level, on the sky and the nebula.
    void starFreeBlocksKeepTheirLevel() {
        constexpr int block = 32, margin = 12;
        const int columns = frame.cols / block, rows = frame.rows / block;
        std::vector<bool> touched(std::size_t(columns * rows), false);
        for (const CatalogStar& star : catalog.stars) {
            double x, y;
            if (!SkyRenderer::project(colourSensor(), SimOptics(), star.ra, star.dec, &x, &y))
                continue;
            for (int r = int(y - margin) / block; r <= int(y + margin) / block; ++r) {
                for (int c = int(x - margin) / block; c <= int(x + margin) / block; ++c) {
                    if (x > -margin && y > -margin && r >= 0 && r < rows && c >= 0 && c < columns)
                        touched[std::size_t(r * columns + c)] = true;
                }
            }
        }
        int blocks = 0;
        double worst = 0;
        std::vector<cv::Mat> source(3), result(3);
        cv::split(frame, source);
        cv::split(starless, result);
        const auto median = [](cv::Mat m) {
            std::vector<std::uint16_t> v(m.begin<std::uint16_t>(), m.end<std::uint16_t>());
            std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
            return v[v.size() / 2] / 257.0;
        };
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                if (touched[std::size_t(r * columns + c)])
                    continue;
                const cv::Rect box(c * block, r * block, block, block);
                for (int k = 0; k < 3; ++k)
                    worst =
                        std::max(worst, std::abs(median(source[k](box)) - median(result[k](box))));
                ++blocks;
            }
        }
        qInfo("%d star-free blocks, largest change of a median %.2f (8-bit)", blocks, worst);
        QVERIFY(blocks > 1000);
        QVERIFY(worst <= 1);
    }

    // The nebula's own light is the frame less the same frame without it, over its catalogue
    // circle; the stand-in must keep nine tenths of it.
    void nebulaKeepsItsFlux() {
        const CatalogObject* m42 = catalog.messierObject(42);
        QVERIFY(m42);
        double x, y;
        QVERIFY(SkyRenderer::project(colourSensor(), SimOptics(), m42->ra, m42->dec, &x, &y));
        const double radius = 45 * 60 / (206.265 * 4.63 / 400); // 90' across
        cv::Mat area = cv::Mat::zeros(frame.size(), CV_8U);
        cv::circle(area, cv::Point(int(x), int(y)), int(radius), 255, cv::FILLED);
        const auto flux = [&](const cv::Mat& with, const cv::Mat& without) {
            cv::Mat difference;
            cv::subtract(grey(with), grey(without), difference);
            return cv::mean(difference, area)[0] * cv::countNonZero(area);
        };
        const double kept = flux(starless, plainStarless) / flux(frame, plain);
        qInfo("M42 keeps %.3f of its light", kept);
        QVERIFY(kept >= 0.9 && kept <= 1.05);
    }

    void program_data() {
        QTest::addColumn<int>("type"); // of the input; -1 none
        QTest::addColumn<bool>("written");
        QTest::newRow("16-bit colour") << int(CV_16UC3) << true;
        QTest::newRow("8-bit grey") << int(CV_8UC1) << true;
        QTest::newRow("missing input") << -1 << false;
    }
    void program() {
        QFETCH(int, type);
        QFETCH(bool, written);
        QTemporaryDir dir;
        const QString input = dir.filePath("make3dfile_org.tif");
        const QString output = dir.filePath("make3dfile_bak.tif");
        if (type >= 0) {
            cv::Mat picture(48, 64, type);
            cv::randu(picture, 0, CV_MAT_DEPTH(type) == CV_8U ? 255 : 65535);
            QVERIFY(cv::imwrite(input.toStdString(), picture));
        }
        QProcess run;
        run.start(starlessProgram(), {input, output, "256"});
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitCode() == 0, written);
        QCOMPARE(QFileInfo::exists(output), written);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), written ? 2 : 0);
        if (written) {
            const cv::Mat result = cv::imread(output.toStdString(), cv::IMREAD_UNCHANGED);
            QCOMPARE(result.type(), CV_16UC3);
            QVERIFY(result.cols == 64 && result.rows == 48);
        } else {
            QCOMPARE(run.readAllStandardError().trimmed().count('\n'), 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestStarless)
#include "tst_starless.moc"
