// The chart's picture from a hand-made catalogue on the equator, centred at RA 0: which stars
// are drawn and in which colour, stars half off or wholly off the picture, the zoom's ends,
// and half the sky behind the chart.
#include "ChartScales.h"
#include "ChartSky.h"
#include "LogRecorder.h"
#include "SettingsRecord.h"
#include "SkyChart.h"
#include "StarCatalog.h"

#include <QtTest>
#include <cmath>

namespace {

// The RA that lands on chart column x at level 2 (east left of the centre).
double raAt(double x) {
    const double ra = std::atan((600 - x) / 550) * 180 / M_PI;
    return ra < 0 ? ra + 360 : ra;
}

QRgb pixel(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xffffff;
}

const QRgb background = qRgb(5, 5, 20) & 0xffffff;

} // namespace

class TestChartDrawing : public QObject {
    Q_OBJECT
    StarCatalog catalog;
    SettingsRecord settings;

    // The chart of one star, with the telescope far away.
    QImage drawOne(double ra, double vmag, double bvCol, int* hits) {
        catalog.stars = {{1, ra, 0, vmag, bvCol}};
        const ChartSky sky(catalog);
        SkyChart chart(sky, settings, nullptr);
        chart.drawSky({0, 0, false, 0, 0});
        *hits = chart.hits().size();
        SkyChart::Marks farAway;
        farAway.scopeRa = 180;
        return chart.withMarks(farAway);
    }

private slots:
    void initTestCase() {
        const StarCatalog shipped = loadCatalogs(qEnvironmentVariable("VESPERIX_BIN_DIR"));
        for (int row = 0; row < StarCatalog::spriteRows; ++row)
            for (int column = 0; column < StarCatalog::spriteColumns; ++column) {
                QVERIFY(!shipped.sprites[row][column].isNull());
                catalog.sprites[row][column] = shipped.sprites[row][column];
            }
        settings.setDefaults();
        settings.enaMilky = 0;
    }

    void stars_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("vmag");
        QTest::addColumn<double>("bvCol");
        QTest::addColumn<int>("colour"); // the sprite's column, or -1 for nothing drawn
        QTest::newRow("magnitude 4.0 at level 2") << 300.0 << 4.0 << 0.0 << int(StarCatalog::Cyan);
        QTest::newRow("magnitude 4.01") << 300.0 << 4.01 << 0.0 << -1;
        QTest::newRow("B-V -0.1 blue") << 500.0 << 1.0 << -0.1 << int(StarCatalog::Blue);
        QTest::newRow("B-V 0.5 cyan") << 500.0 << 1.0 << 0.5 << int(StarCatalog::Cyan);
        QTest::newRow("B-V 1.3 orange") << 500.0 << 1.0 << 1.3 << int(StarCatalog::Orange);
        QTest::newRow("no colour index white")
            << 500.0 << 1.0 << -1000.0 << int(StarCatalog::White);
        QTest::newRow("half off the right edge") << 1098.0 << 0.0 << 0.0 << int(StarCatalog::Cyan);
        QTest::newRow("half off the left edge") << 1.0 << 0.0 << 0.0 << int(StarCatalog::Cyan);
        QTest::newRow("beyond the picture, inside 1200") << 1195.0 << 0.0 << 0.0 << -1;
        QTest::newRow("left of the picture") << -5.0 << 0.0 << 0.0 << -1;
    }
    void stars() {
        QFETCH(double, x);
        QFETCH(double, vmag);
        QFETCH(double, bvCol);
        QFETCH(int, colour);
        int hits = 0;
        const QImage chart = drawOne(raAt(x), vmag, bvCol, &hits);
        QCOMPARE(hits, colour < 0 ? 0 : 1);
        const int column = std::clamp(int(x), 0, 1099);
        if (colour < 0) {
            for (int dx = -2; dx <= 2; ++dx)
                QCOMPARE(pixel(chart, std::clamp(column + dx, 0, 1099), 320), background);
            return;
        }
        // The sprite's middle pixel lands on the star.
        const QImage& sprite = catalog.sprites[ChartScales::spriteRow(vmag, 2)][colour];
        QCOMPARE(pixel(chart, int(std::lround(x)), 320),
                 pixel(sprite, sprite.width() / 2, sprite.height() / 2));
    }

    // Exactly 90 degrees and a little from the centre: behind the chart at every scale.
    void behindTheChart() {
        int hits = 0;
        catalog.stars = {{1, 90.0001, 0, 0, 0}, {2, 269.9999, 0, 0, 0}, {3, 0, -90.0001, 0, 0}};
        const ChartSky sky(catalog);
        SkyChart chart(sky, settings, nullptr);
        while (chart.zoomOut())
            ;
        chart.drawSky({0, 0, false, 0, 0});
        hits = chart.hits().size();
        QCOMPARE(hits, 0);
    }

    void zoomEnds() {
        catalog.stars = {{1, raAt(500), 0, 1, 0}};
        const ChartSky sky(catalog);
        SkyChart chart(sky, settings, nullptr);
        LogRecorder log;
        QVERIFY(chart.zoomIn());
        QVERIFY(chart.zoomOut());
        QVERIFY(log.contains("Width = 95.0, Height = 60.4"));
        while (chart.zoomIn())
            ;
        QCOMPARE(chart.zoomLevel(), 11);
        chart.drawSky({0, 0, false, 0, 0});
        const QImage before = chart.withMarks({});
        QVERIFY(!chart.zoomIn());
        chart.drawSky({0, 0, false, 0, 0});
        QCOMPARE(chart.zoomLevel(), 11);
        QCOMPARE(chart.withMarks({}), before);
    }
};

QTEST_MAIN(TestChartDrawing)
#include "tst_chartdrawing.moc"
