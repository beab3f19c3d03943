// The cameras' frames on the chart: their half sizes at every zoom level, which frames the
// settings ask for, and where they land on the chart's picture, from an empty sky so that
// only the marks are drawn.
#include "ChartScales.h"
#include "ChartSky.h"
#include "FieldFrame.h"
#include "SettingsRecord.h"
#include "SkyChart.h"
#include "StarCatalog.h"

#include <QtTest>
#include <cmath>

namespace {

const FieldFrame::Sensor asi294{4144, 2822, 4.63};

bool white(const QImage& image, int x, int y) {
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() &&
           qGreen(image.pixel(x, y)) > 100 && qRed(image.pixel(x, y)) > 100 &&
           qBlue(image.pixel(x, y)) > 100;
}

bool green(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return qGreen(p) > 100 && qRed(p) < 60 && qBlue(p) < 60;
}

// The middle of the green pixels' bounding box, and its half sizes.
QRectF greenBox(const QImage& image) {
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (green(image, x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

} // namespace

class TestFieldFrame : public QObject {
    Q_OBJECT
    StarCatalog emptySky;
    SettingsRecord settings;

    // The chart about (ra, dec) at the zoom level with the telescope there too.
    QImage chartAt(SkyChart& chart, int level, double ra, double dec, bool digitalCameraMode) {
        while (chart.zoomLevel() < level && chart.zoomIn()) {
        }
        while (chart.zoomLevel() > level && chart.zoomOut()) {
        }
        chart.drawSky({ra, dec, false, 0, 0});
        SkyChart::Marks marks;
        marks.scopeRa = ra;
        marks.scopeDec = dec;
        marks.sensor = asi294;
        marks.digitalCameraMode = digitalCameraMode;
        return chart.withMarks(marks);
    }

private slots:
    void halfSizes_data();
    void halfSizes();
    void framesAsked_data();
    void framesAsked();
    void cameraFrameOnTheChart();
    void digitalCameraFrameOffset_data();
    void digitalCameraFrameOffset();
};

void TestFieldFrame::halfSizes_data() {
    QTest::addColumn<double>("sideMm");
    QTest::addColumn<double>("focalMm");
    QTest::addColumn<QVector<int>>("levels");
    QTest::addColumn<QVector<int>>("halves");
    const QVector<int> all{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    QTest::newRow("36 mm at 400 mm")
        << 36.0 << 400.0 << all
        << QVector<int>{4, 14, 24, 42, 62, 92, 140, 201, 283, 404, 567, 945};
    QTest::newRow("24 mm at 400 mm")
        << 24.0 << 400.0 << all << QVector<int>{2, 9, 16, 28, 41, 61, 93, 134, 188, 270, 378, 630};
    QTest::newRow("ASI294MC width")
        << 4144 * 4.63 / 1000 << 400.0 << QVector<int>{6, 11} << QVector<int>{74, 504};
    QTest::newRow("ASI294MC height")
        << 2822 * 4.63 / 1000 << 400.0 << QVector<int>{6, 11} << QVector<int>{51, 343};
    QTest::newRow("the dialog's 36.0 mm at 300 mm")
        << 36.0 << 300.0 << QVector<int>{2, 11} << QVector<int>{33, 1260};
    QTest::newRow("the dialog's 24.0 mm at 300 mm")
        << 24.0 << 300.0 << QVector<int>{2} << QVector<int>{22};
    QTest::newRow("no side") << 0.0 << 400.0 << QVector<int>{11} << QVector<int>{0};
    QTest::newRow("no focal length") << 36.0 << 0.0 << QVector<int>{11} << QVector<int>{0};
}

void TestFieldFrame::halfSizes() {
    QFETCH(double, sideMm);
    QFETCH(double, focalMm);
    QFETCH(QVector<int>, levels);
    QFETCH(QVector<int>, halves);
    for (int i = 0; i < levels.size(); ++i) {
        const double scale = ChartScales::chartScale(levels[i]);
        const int half = FieldFrame::halfSize(scale, sideMm, focalMm);
        QCOMPARE(half, halves[i]);
        if (focalMm > 0) {
            // The textbook: the scale times the tangent of half the field angle.
            const double textbook = scale * std::tan(std::atan(sideMm / (2 * focalMm)));
            QVERIFY(std::fabs(half - textbook) <= 1);
        }
    }
}

void TestFieldFrame::framesAsked_data() {
    QTest::addColumn<int>("angle");
    QTest::addColumn<int>("focal");
    QTest::addColumn<double>("pixelSizeUm");
    QTest::addColumn<bool>("digitalCameraMode");
    QTest::addColumn<int>("digiFocal");
    QTest::addColumn<int>("digiAngle");
    QTest::addColumn<QSize>("camera");  // half sizes; empty when not drawn
    QTest::addColumn<QSize>("digital"); // likewise
    // Level 6, ASI294MC at 400 mm: 74 x 51; the dialog's defaults (36 x 24 mm at 300 mm): 187 x
    // 124.
    QTest::newRow("off") << 0 << 400 << 4.63 << true << 300 << 0 << QSize() << QSize();
    QTest::newRow("landscape") << 1 << 400 << 4.63 << false << 300 << 0 << QSize(74, 51) << QSize();
    QTest::newRow("turned") << 2 << 400 << 4.63 << false << 300 << 0 << QSize(51, 74) << QSize();
    QTest::newRow("no focal length") << 1 << 0 << 4.63 << false << 300 << 0 << QSize() << QSize();
    QTest::newRow("no pixel size") << 2 << 400 << 0.0 << false << 300 << 0 << QSize() << QSize();
    QTest::newRow("digital camera")
        << 1 << 400 << 4.63 << true << 300 << 0 << QSize(74, 51) << QSize(187, 124);
    QTest::newRow("digital camera upright")
        << 1 << 400 << 4.63 << true << 300 << 1 << QSize(74, 51) << QSize(124, 187);
    QTest::newRow("no digital focal length")
        << 1 << 400 << 4.63 << true << 0 << 0 << QSize(74, 51) << QSize();
}

void TestFieldFrame::framesAsked() {
    QFETCH(int, angle);
    QFETCH(int, focal);
    QFETCH(double, pixelSizeUm);
    QFETCH(bool, digitalCameraMode);
    QFETCH(int, digiFocal);
    QFETCH(int, digiAngle);
    QFETCH(QSize, camera);
    QFETCH(QSize, digital);
    SettingsRecord s;
    s.angle = angle;
    s._focal = focal;
    s.digiFocal = digiFocal;
    s.digiAngle = digiAngle;
    s.digiCenLong = 360;
    s.digiCenShort = 240;
    const ChartProjection projection(30, 40, ChartScales::chartScale(6), 0, {600, 320});
    FieldFrame::Sensor sensor = asi294;
    sensor.pixelSizeUm = pixelSizeUm;
    const FieldFrame::Frames frames =
        FieldFrame::about(projection, s, sensor, digitalCameraMode, 30, 40);
    const auto size = [](const std::optional<FieldFrame::Rect>& r) {
        return r ? QSize(r->halfX, r->halfY) : QSize();
    };
    QCOMPARE(size(frames.camera), camera);
    QCOMPARE(size(frames.digitalCamera), digital);
}

void TestFieldFrame::cameraFrameOnTheChart() {
    settings.angle = 1;
    settings._focal = 400;
    const ChartSky sky(emptySky);
    SkyChart chart(sky, settings, nullptr);
    const QImage image = chartAt(chart, 8, 120, 30, false);
    const int hx = FieldFrame::halfSize(chart.chartScale(), 4144 * 4.63 / 1000, 400);
    const int hy = FieldFrame::halfSize(chart.chartScale(), 2822 * 4.63 / 1000, 400);
    const int cx = int(SkyChart::centreX), cy = int(SkyChart::centreY);
    // Along each edge (its middle, and halfway from there to a corner) the line is white; three
    // pixels outside it nothing is.
    for (const double along : {0.0, 0.5}) {
        const int ax = int(along * hx), ay = int(along * hy);
        const struct {
            QPoint on, out;
        } edges[] = {{{cx + ax, cy - hy}, {cx + ax, cy - hy - 3}},
                     {{cx - ax, cy + hy}, {cx - ax, cy + hy + 3}},
                     {{cx - hx, cy + ay}, {cx - hx - 3, cy + ay}},
                     {{cx + hx, cy - ay}, {cx + hx + 3, cy - ay}}};
        for (const auto& edge : edges) {
            QVERIFY(white(image, edge.on.x(), edge.on.y()));
            QVERIFY(!white(image, edge.out.x(), edge.out.y()));
        }
    }
    // Frames larger than the picture are cut to it: at level 9 the digital camera's 36 mm at
    // 300 mm shows only its left edge, the whole height down; at level 11 (half sizes 1260 and
    // 840) the picture lies wholly inside it and nothing is drawn.
    settings.digiFocal = 300;
    settings.digiCenLong = 360;
    settings.digiCenShort = 240;
    const QImage cut = chartAt(chart, 9, 120, 30, true);
    const int left = cx - chart.lastFrames().digitalCamera->halfX;
    QVERIFY(green(cut, left, 0) && green(cut, left, SkyChart::height - 1));
    const QImage inside = chartAt(chart, 11, 120, 30, true);
    QCOMPARE(chart.lastFrames().digitalCamera->halfX, 1260);
    QVERIFY(greenBox(inside).isEmpty());
}

void TestFieldFrame::digitalCameraFrameOffset_data() {
    QTest::addColumn<int>("decDir");
    QTest::addColumn<double>("sign");
    QTest::newRow("decDir 0: the telescope plus the offset") << 0 << 1.0;
    QTest::newRow("decDir 1: the telescope minus the offset") << 1 << -1.0;
}

void TestFieldFrame::digitalCameraFrameOffset() {
    QFETCH(int, decDir);
    QFETCH(double, sign);
    settings.angle = 1;
    settings.digiFocal = 300;
    settings.digiCenLong = 360;
    settings.digiCenShort = 240;
    settings.digiOffRa = 1500;
    settings.digiOffDec = -500;
    settings.decDir = decDir;
    const ChartSky sky(emptySky);
    SkyChart chart(sky, settings, nullptr);
    const double ra = 83.8, dec = -5.4;
    const QImage image = chartAt(chart, 4, ra, dec, true);
    cv::Point2d expected;
    QVERIFY(chart.projection().project(ra + sign * 1.5, dec - sign * 0.5, &expected));
    const QRectF box = greenBox(image);
    QVERIFY2(std::fabs(box.center().x() - expected.x) <= 1 &&
                 std::fabs(box.center().y() - expected.y) <= 1,
             qPrintable(QString("green frame about (%1, %2), the offset at (%3, %4)")
                            .arg(box.center().x())
                            .arg(box.center().y())
                            .arg(expected.x)
                            .arg(expected.y)));
}

QTEST_MAIN(TestFieldFrame)
#include "tst_fieldframe.moc"
