// Master darks and flats built from simulated frames, applied to simulated frames: the dark
// must take the hot pixels out of a light frame, the flat the vignetting out of a flat-panel one.
#include "DarkFlat.h"
#include "SkyRenderer.h"
#include "StarCatalog.h"

#include <QtTest>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int offset = 500;

SimSensor sensorOf(bool colour) {
    SimSensor sensor;
    sensor.width = 1600;
    sensor.height = 1200;
    sensor.isColor = colour;
    sensor.seed = 7;
    return sensor;
}

SimExposure exposureOf(SimScene scene, double seconds, std::uint64_t frameNumber) {
    SimExposure exposure;
    exposure.scene = scene;
    exposure.seconds = seconds;
    exposure.offsetAdu = offset;
    exposure.sensorTempC = 20;
    exposure.frameNumber = frameNumber;
    return exposure;
}

// Median and a robust sigma (from the median absolute deviation) of a 16-bit frame.
struct Background {
    double median = 0, sigma = 0;
};
Background backgroundOf(const cv::Mat& frame) {
    std::vector<int> v(frame.begin<std::uint16_t>(), frame.end<std::uint16_t>());
    auto mid = v.begin() + std::ptrdiff_t(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    Background b;
    b.median = *mid;
    for (int& x : v)
        x = std::abs(x - int(b.median));
    mid = v.begin() + std::ptrdiff_t(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    b.sigma = std::max(1.4826 * *mid, 1.0);
    return b;
}

// Mean less the offset of one Bayer site ((y & 1) * 2 + (x & 1)), or of every pixel when
// `site` is negative, in a square block.
double blockLevel(const cv::Mat& frame, int x0, int y0, int size, int site = -1) {
    double sum = 0;
    int n = 0;
    for (int y = y0; y < y0 + size; ++y) {
        for (int x = x0; x < x0 + size; ++x) {
            if (site >= 0 && ((y & 1) * 2 + (x & 1)) != site)
                continue;
            sum += frame.at<std::uint16_t>(y, x);
            ++n;
        }
    }
    return sum / n - offset;
}

// Mean of the four corner blocks over the centre block, per site or over all pixels.
double cornerToCentre(const cv::Mat& frame, int site = -1) {
    const int s = 64;
    const int right = frame.cols - s, bottom = frame.rows - s;
    const double corners = blockLevel(frame, 0, 0, s, site) + blockLevel(frame, right, 0, s, site) +
                           blockLevel(frame, 0, bottom, s, site) +
                           blockLevel(frame, right, bottom, s, site);
    const double centre =
        blockLevel(frame, (frame.cols - s) / 2 & ~1, (frame.rows - s) / 2 & ~1, s, site);
    return corners / 4 / centre;
}

} // namespace

class TestDarkFlatSky : public QObject {
    Q_OBJECT
    StarCatalog catalog;
    std::unique_ptr<SkyRenderer> renderer;
    SimOptics optics;

    cv::Mat master(const SimSensor& sensor, SimScene scene, double seconds, std::uint64_t first) {
        cv::Mat accumulator;
        for (int n = 0; n < 8; ++n)
            DarkFlat::addFrameToAverage(
                accumulator,
                renderer->render(sensor, optics, exposureOf(scene, seconds, first + n)), n);
        return accumulator;
    }

    void checkFlat(bool colour, int mode) {
        const SimSensor sensor = sensorOf(colour);
        const double seconds = 6; // about 24000 electrons in the centre
        const cv::Mat flat = master(sensor, SimScene::FlatPanel, seconds, 100);
        const cv::Mat dark = mode == DarkFlat::DarkAndFlat
                                 ? master(sensor, SimScene::CapOn, seconds, 200)
                                 : cv::Mat();
        const cv::Mat raw =
            renderer->render(sensor, optics, exposureOf(SimScene::FlatPanel, seconds, 300));
        cv::Mat corrected = raw.clone();
        DarkFlat::correctFrame(corrected, dark, flat, colour, mode, offset);

        const std::vector<int> sites = colour ? std::vector<int>{0, 1, 2, 3} : std::vector<int>{-1};
        for (const int site : sites) {
            const double before = cornerToCentre(raw, site);
            const double after = cornerToCentre(corrected, site);
            QVERIFY2(before < 0.85, qPrintable(QString("site %1: %2").arg(site).arg(before)));
            QVERIFY2(std::abs(after - 1) < 0.02,
                     qPrintable(QString("site %1: %2").arg(site).arg(after)));
        }
        // The flat corrects each filter against its own level: the colour balance stays.
        if (colour) {
            const int c = 64, x0 = (sensor.width - c) / 2 & ~1, y0 = (sensor.height - c) / 2 & ~1;
            const double green = blockLevel(corrected, x0, y0, c, 1);
            const double red = blockLevel(corrected, x0, y0, c, 0) / green;
            const double blue = blockLevel(corrected, x0, y0, c, 3) / green;
            QVERIFY2(std::abs(red - 0.85) < 0.02, qPrintable(QString::number(red)));
            QVERIFY2(std::abs(blue - 0.70) < 0.02, qPrintable(QString::number(blue)));
            QVERIFY(std::abs(blockLevel(corrected, x0, y0, c, 2) / green - 1) < 0.02);
        }
    }

private slots:
    void initTestCase() {
        catalog = loadCatalogs(qEnvironmentVariable("VESPERIX_BIN_DIR"));
        QVERIFY(catalog.stars.size() > 80000);
        renderer = std::make_unique<SkyRenderer>(catalog);
        optics.vignetting = 0.25;
    }

    void masterDarkRemovesHotPixels() {
        const SimSensor sensor = sensorOf(false);
        const double seconds = 60;
        const cv::Mat dark = master(sensor, SimScene::CapOn, seconds, 1);
        const cv::Mat light =
            renderer->render(sensor, optics, exposureOf(SimScene::Sky, seconds, 50));
        cv::Mat corrected = light.clone();
        DarkFlat::correctFrame(corrected, dark, cv::Mat(), false, DarkFlat::DarkOnly, offset);

        const Background lightBg = backgroundOf(light), darkBg = backgroundOf(dark);
        const Background correctedBg = backgroundOf(corrected);
        // The offset stays; the sky stays, between its vignetted and its full level.
        const double sky = optics.skyElectronsPerSecond * seconds;
        QVERIFY2(correctedBg.median > offset + 0.7 * sky && correctedBg.median < offset + sky + 3,
                 qPrintable(QString::number(correctedBg.median)));

        double excessBefore = 0, excessAfter = 0;
        int hot = 0;
        for (int y = 0; y < light.rows; ++y) {
            for (int x = 0; x < light.cols; ++x) {
                const double before = light.at<std::uint16_t>(y, x) - lightBg.median;
                if (before < 5 * lightBg.sigma ||
                    dark.at<std::uint16_t>(y, x) < darkBg.median + 5 * darkBg.sigma)
                    continue;
                const double after = corrected.at<std::uint16_t>(y, x) - correctedBg.median;
                // Each one too, but for the shot noise of the light and the master dark.
                const double noise = std::sqrt(before * (1 + 1.0 / 8)) + lightBg.sigma;
                QVERIFY2(
                    std::abs(after) < std::max(0.1 * before, 4 * noise),
                    qPrintable(QString("(%1, %2): %3 -> %4").arg(x).arg(y).arg(before).arg(after)));
                excessBefore += before;
                excessAfter += std::abs(after);
                ++hot;
            }
        }
        // 1e-4 of the sensor's pixels are hot, all far above the sky in a minute.
        QVERIFY2(hot > 150, qPrintable(QString::number(hot)));
        QVERIFY2(excessAfter < 0.1 * excessBefore,
                 qPrintable(QString("%1 -> %2").arg(excessBefore).arg(excessAfter)));
    }

    void masterFlatFlattensMono() { checkFlat(false, DarkFlat::FlatOnly); }
    void masterFlatAndDarkFlattenMono() { checkFlat(false, DarkFlat::DarkAndFlat); }
    void masterFlatFlattensColour() { checkFlat(true, DarkFlat::FlatOnly); }
};

QTEST_GUILESS_MAIN(TestDarkFlatSky)
#include "tst_darkflatsky.moc"
