// The cameras' frames on the chart: their half sizes at every zoom level, which frames the
// settings ask for, and where they land on the chart's picture, from an empty sky so that
// only the marks are drawn. Then the digital camera's settings dialog beside a goto window:
// the presets, the keypad entries it takes and refuses, and the frame centred on a picked
// object.
#include "ChartScales.h"
#include "ChartSky.h"
#include "DigicameSetDialog.h"
#include "FieldFrame.h"
#include "Goto.h"
#include "LayoutFaults.h"
#include "NumberInput.h"
#include "PositionUpdate.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsFile.h"
#include "SettingsRecord.h"
#include "ShutterControl.h"
#include "SkyChart.h"
#include "StarCatalog.h"
#include "TestDrives.h"
#include "TouchFont.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <memory>

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

void press(QWidget* window, const QString& text) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (button->text() == text && button->isVisible()) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    QFAIL(qPrintable("no button " + text));
}

// The shutter is tried end to end; here there is none.
struct NoShutterAdapter : ShutterAdapter {
    bool isShutterFound() const override { return false; }
    void findShutterAdapter() override {}
    void setShutter(bool) override {}
};

// The dialog beside a goto window on an empty sky about (0.5, 10), in digital-camera mode
// with the frames shown.
struct DialogBesideGoto {
    TestDrives drives;
    StarCatalog emptySky;
    ChartSky sky{emptySky};
    SettingsRecord settings;
    ProcessState state;
    PositionUpdate positions{state.syncPointRa, state.syncPointDec};
    NoShutterAdapter shutter;
    std::unique_ptr<Goto> window;
    std::unique_ptr<DigicameSetDialog> dialog;

    DialogBesideGoto() {
        settings.setDefaults();
        ensureSettingsPath(settings);
        settings.angle = 1;
        state.settings = &settings;
        state.chartSky = &sky;
        state.digitalCameraMode = true;
        state.syncPointRa = 0.5;
        state.syncPointDec = 10;
        window = std::make_unique<Goto>(state, positions);
        dialog =
            std::make_unique<DigicameSetDialog>(state, shutter, [this] { return window.get(); });
        dialog->showSettings();
    }
    // Presses the dialog's button, then the keys on the keypad it opens.
    void type(const QString& button, const QStringList& keys) {
        QTimer::singleShot(0, [keys] {
            auto* keypad = qobject_cast<NumberInput*>(QApplication::activeModalWidget());
            QVERIFY(keypad);
            for (const QString& key : keys)
                press(keypad, key);
        });
        press(dialog.get(), button);
    }
};

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
    void presets_data();
    void presets();
    void keypadEntries_data();
    void keypadEntries();
    void frameCentredOnThePick_data();
    void frameCentredOnThePick();
    void dialogLayout();
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

void TestFieldFrame::presets_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("longSide");
    QTest::addColumn<int>("shortSide");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Four Thirds") << "フォーサーズ" << 173 << 130 << "17.3mm";
    QTest::newRow("full size") << "フルサイズ" << 360 << 240 << "36.0mm";
    QTest::newRow("APS-C 1.5") << "APS-C(×1.5)" << 236 << 158 << "23.6mm";
    QTest::newRow("APS-C 1.6") << "APS-C(×1.6)" << 223 << 149 << "22.3mm";
}

void TestFieldFrame::presets() {
    QFETCH(QString, button);
    QFETCH(int, longSide);
    QFETCH(int, shortSide);
    QFETCH(QString, shown);
    DialogBesideGoto d;
    d.settings.digiCenLong = d.settings.digiCenShort = 10;
    press(d.dialog.get(), button);
    QCOMPARE(d.settings.digiCenLong, longSide);
    QCOMPARE(d.settings.digiCenShort, shortSide);
    QCOMPARE(d.dialog->findChild<QPushButton*>("pushButtonLong")->text(), shown);
    // The goto window's chart follows at once.
    QCOMPARE(d.window->chart()->lastFrames().digitalCamera->halfX,
             FieldFrame::halfSize(d.window->chart()->chartScale(), longSide / 10.0, 300));
}

void TestFieldFrame::keypadEntries_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    // The defaults: 300 mm, 36.0 x 24.0 mm.
    QTest::newRow("focal length") << "300mm" << QStringList{"4", "0", "0", "OK"} << "digiFocal"
                                  << 400 << "400mm";
    QTest::newRow("focal length cancelled")
        << "300mm" << QStringList{"4", "0", "0", "キャンセル"} << "digiFocal" << 300 << "300mm";
    QTest::newRow("focal length 10001 refused")
        << "300mm" << QStringList{"1", "0", "0", "0", "1", "OK"} << "digiFocal" << 300 << "300mm";
    QTest::newRow("long side, one point taken")
        << "36.0mm" << QStringList{"2", "2", ".", "3", ".", "5", "OK"} << "digiCenLong" << 223
        << "22.3mm";
    QTest::newRow("short side below 1 mm")
        << "24.0mm" << QStringList{".", "7", "OK"} << "digiCenShort" << 7 << "0.7mm";
    QTest::newRow("short side 100.0")
        << "24.0mm" << QStringList{"1", "0", "0", "OK"} << "digiCenShort" << 1000 << "100.0mm";
    QTest::newRow("short side 100.1 refused")
        << "24.0mm" << QStringList{"1", "0", "0", ".", "1", "OK"} << "digiCenShort" << 240
        << "24.0mm";
    QTest::newRow("long side cancelled")
        << "36.0mm" << QStringList{"5", "キャンセル"} << "digiCenLong" << 360 << "36.0mm";
}

void TestFieldFrame::keypadEntries() {
    QFETCH(QString, button);
    QFETCH(QStringList, keys);
    QFETCH(QString, field);
    QFETCH(int, stored);
    QFETCH(QString, shown);
    DialogBesideGoto d;
    const std::map<QString, int SettingsRecord::*> fields = {
        {"digiFocal", &SettingsRecord::digiFocal},
        {"digiCenLong", &SettingsRecord::digiCenLong},
        {"digiCenShort", &SettingsRecord::digiCenShort}};
    QPushButton* entry = nullptr;
    for (QPushButton* b : d.dialog->findChildren<QPushButton*>())
        if (b->text() == button)
            entry = b;
    QVERIFY(entry);
    d.type(button, keys);
    QCOMPARE(d.settings.*fields.at(field), stored);
    QCOMPARE(entry->text(), shown);
}

void TestFieldFrame::frameCentredOnThePick_data() {
    QTest::addColumn<bool>("picked");
    QTest::addColumn<QPointF>("object");
    QTest::addColumn<QPointF>("scope");
    QTest::addColumn<int>("decDir");
    QTest::addColumn<QPoint>("offset"); // thousandths of a degree; (1500, -500) before
    QTest::addColumn<bool>("onObject"); // the green frame about the object
    // The telescope at 0.5 degrees, the object at 359.5: one degree west, not 359 east.
    QTest::newRow("across RA 0") << true << QPointF(359.5, 12) << QPointF(0.5, 10) << 0
                                 << QPoint(-1000, 2000) << true;
    QTest::newRow("across RA 0, decDir 1")
        << true << QPointF(359.5, 12) << QPointF(0.5, 10) << 1 << QPoint(1000, -2000) << true;
    QTest::newRow("the other way across RA 0")
        << true << QPointF(1.25, 8.5) << QPointF(359.75, 10) << 0 << QPoint(1500, -1500) << true;
    QTest::newRow("nothing picked")
        << false << QPointF(359.5, 12) << QPointF(0.5, 10) << 0 << QPoint(0, 0) << false;
    QTest::newRow("Dec beyond the key's range refused")
        << true << QPointF(10, 80) << QPointF(10, -20) << 0 << QPoint(1500, -500) << false;
}

void TestFieldFrame::frameCentredOnThePick() {
    QFETCH(bool, picked);
    QFETCH(QPointF, object);
    QFETCH(QPointF, scope);
    QFETCH(int, decDir);
    QFETCH(QPoint, offset);
    QFETCH(bool, onObject);
    DialogBesideGoto d;
    d.settings.decDir = decDir;
    d.settings.digiOffRa = 1500;
    d.settings.digiOffDec = -500;
    GotoActions& actions = d.window->actions();
    actions.scopeRa = scope.x();
    actions.scopeDec = scope.y();
    actions.pickedRa = object.x();
    actions.pickedDec = object.y();
    actions.pickedValid = picked;
    press(d.dialog.get(), "GOTO選択点を写野中心とする");
    QCOMPARE(QPoint(d.settings.digiOffRa, d.settings.digiOffDec), offset);
    if (!onObject)
        return;
    // The goto window's chart follows at once.
    cv::Point2d expected;
    QVERIFY(d.window->chart()->projection().project(object.x(), object.y(), &expected));
    const cv::Point2d centre = d.window->chart()->lastFrames().digitalCamera->centre;
    QVERIFY2(std::hypot(centre.x - expected.x, centre.y - expected.y) <= 1,
             qPrintable(QString("(%1, %2), the object at (%3, %4)")
                            .arg(centre.x)
                            .arg(centre.y)
                            .arg(expected.x)
                            .arg(expected.y)));
}

void TestFieldFrame::dialogLayout() {
    DialogBesideGoto d;
    QCOMPARE(d.dialog->windowTitle(), QString("デジカメ写野設定"));
    QCOMPARE(d.dialog->size(), QSize(530, 538));
    QCOMPARE(layoutFaults(d.dialog.get(), {TouchFont::titlePx, 48}), QStringList());
    // The orientation buttons: the chosen one red.
    auto* landscape = d.dialog->findChild<QPushButton*>("pushButtonLandscape");
    auto* portrait = d.dialog->findChild<QPushButton*>("pushButtonPortrait");
    QTest::mouseClick(portrait, Qt::LeftButton);
    QCOMPARE(d.settings.digiAngle, 1);
    QCOMPARE(portrait->styleSheet(), QString("background-color:red;color:white"));
    QCOMPARE(landscape->styleSheet(), QString("background-color:rgb(0, 170, 255);color:white"));
    saveScreenshot(d.dialog.get(), "DigicameSetDialog");
    // The decimal keypad, its point key beside the 0.
    QTimer::singleShot(0, [] {
        auto* keypad = qobject_cast<NumberInput*>(QApplication::activeModalWidget());
        QVERIFY(keypad);
        QCOMPARE(layoutFaults(keypad), QStringList());
        saveScreenshot(keypad, "NumberInputDecimal");
        press(keypad, "キャンセル");
    });
    QTest::mouseClick(d.dialog->findChild<QPushButton*>("pushButtonLong"), Qt::LeftButton);
}

QTEST_MAIN(TestFieldFrame)
#include "tst_fieldframe.moc"
