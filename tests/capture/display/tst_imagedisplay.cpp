#include "FrameOps.h"
#include "ImageDisplay.h"
#include "LogRecorder.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SkyRenderer.h"
#include "StarCatalog.h"
#include "TestDrives.h"

#include <QFileInfo>
#include <QImage>
#include <QtTest>
#include <memory>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace {

const cv::Vec3b border(80, 0, 0); // RGB (0, 0, 80)
const cv::Vec3b white(255, 255, 255);

cv::Vec3b at(const cv::Mat& canvas, int x, int y) {
    return canvas.at<cv::Vec3b>(y, x);
}

// The part of the canvas that is not border colour, found along the centre column and the
// picture's top row, which the navigator in the bottom-right corner does not reach.
cv::Rect pictureRect(const cv::Mat& canvas) {
    int top = 0, bottom = canvas.rows;
    while (top < bottom && at(canvas, canvas.cols / 2, top) == border)
        ++top;
    while (bottom > top && at(canvas, canvas.cols / 2, bottom - 1) == border)
        --bottom;
    if (top == bottom)
        return cv::Rect();
    int left = 0, right = canvas.cols;
    while (at(canvas, left, top) == border)
        ++left;
    while (at(canvas, right - 1, top) == border)
        --right;
    return cv::Rect(left, top, right - left, bottom - top);
}

cv::Mat row(std::initializer_list<uchar> values) {
    return cv::Mat(std::vector<uchar>(values), true).reshape(1, 1);
}

cv::Mat mono(int width, int height, int value) {
    return cv::Mat(height, width, CV_8UC1, cv::Scalar(value));
}

// A mosaic whose red sites (at the Bayer code's phase) are bright and all others dark.
cv::Mat redMosaic(int width, int height, int bayer) {
    // Red site of the 2 x 2 cell for codes 0..3: RGGB, BGGR, GRBG, GBRG.
    const cv::Point redSite[] = {{0, 0}, {1, 1}, {1, 0}, {0, 1}};
    cv::Mat m = mono(width, height, 10);
    for (int y = redSite[bayer].y; y < height; y += 2) {
        for (int x = redSite[bayer].x; x < width; x += 2)
            m.at<uchar>(y, x) = 250;
    }
    return m;
}

struct Display {
    ProcessState state;
    ImageDisplay display{state};
    ViewState& view = display.view();

    void show(const cv::Mat& frame, bool colour = false, int bayer = 0) {
        display.setDisplayGeometry(frame.cols, frame.rows);
        display.showImage(frame, colour, bayer);
    }
    const cv::Mat& canvas() const { return display.canvas(); }
};

} // namespace

class TestImageDisplay : public QObject {
    Q_OBJECT
    StarCatalog catalog;
    std::unique_ptr<SkyRenderer> sky;
    SimSensor sensor;
    cv::Point star; // a bright star well inside the simulated frame

    cv::Mat skyFrame(double defocus, std::uint64_t number) const {
        SimOptics optics;
        optics.seeingFwhmArcsec = 4; // a star of a few pixels even in focus
        optics.defocus = defocus;
        SimExposure exposure;
        exposure.seconds = 2;
        exposure.electronsPerAdu = 0.05;
        exposure.bits16 = false;
        exposure.frameNumber = number;
        return sky->render(sensor, optics, exposure);
    }

private slots:
    void initTestCase();
    void pictureIsScaledAndCentred_data();
    void pictureIsScaledAndCentred();
    void quarterTurnsMoveTheCorner_data();
    void quarterTurnsMoveTheCorner();
    void bayerCodesDemosaicTheirPhase_data();
    void bayerCodesDemosaicTheirPhase();
    void zoomedWindowMatchesTheWholeFrameTurnedAndCut_data();
    void zoomedWindowMatchesTheWholeFrameTurnedAndCut();
    void badFramesKeepThePreviousPicture();
    void zoomWindowStaysInsideTheImage_data();
    void zoomWindowStaysInsideTheImage();
    void touchRequestsAreClamped();
    void zoomShrinkAndRotateButtons();
    void shrinkReducesTheLivePicture();
    void navigatorShowsTheWindow();
    void histograms_data();
    void histograms();
    void chartOverlayOnlyOverTheWholeLiveView();
    void presentGetsTheCanvas();
    void addBrightnessClamps();
    void highBytesTakesTheUpperByte();
    void saveJpegWritesTheSolverFile();
    void focusSizeFollowsTheFocus();
    void focusPointFollowsTheStar_data();
    void focusPointFollowsTheStar();
};

void TestImageDisplay::initTestCase() {
    catalog = loadCatalogs(qEnvironmentVariable("VESPERIX_BIN_DIR"));
    QVERIFY(!catalog.stars.empty());
    sky = std::make_unique<SkyRenderer>(catalog);
    sensor.width = 1000;
    sensor.height = 800;
    // The brightest spot away from the edges, smoothed so that no hot pixel wins.
    cv::Mat smooth;
    cv::GaussianBlur(skyFrame(3, 1), smooth, cv::Size(7, 7), 0);
    cv::minMaxLoc(smooth(cv::Rect(150, 150, 700, 500)), nullptr, nullptr, nullptr, &star);
    star += cv::Point(150, 150);
}

void TestImageDisplay::pictureIsScaledAndCentred_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("turns");
    QTest::addColumn<double>("displayScale");
    QTest::addColumn<int>("scaledWidth");
    QTest::addColumn<QRect>("picture");
    QTest::newRow("6000 x 4000") << 6000 << 4000 << 0 << 0.16 << 960 << QRect(120, 0, 960, 640);
    QTest::newRow("1920 x 1080") << 1920 << 1080 << 0 << 640.0 / 1080 << 1137
                                 << QRect(32, 0, 1136, 639);
    QTest::newRow("wide 4000 x 1000")
        << 4000 << 1000 << 0 << 0.3 << 1200 << QRect(0, 170, 1200, 300);
    // Portrait after one turn: 4000 wide, 6000 high, 640 / 6000 per pixel, cut to 416.
    QTest::newRow("6000 x 4000 turned")
        << 6000 << 4000 << 1 << 640.0 / 6000 << 426 << QRect(392, 8, 416, 624);
}

void TestImageDisplay::pictureIsScaledAndCentred() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, turns);
    QFETCH(double, displayScale);
    QFETCH(int, scaledWidth);
    QFETCH(QRect, picture);
    Display d;
    d.view.displayRotation = turns;
    d.show(mono(width, height, 200));
    QCOMPARE(d.view.displayScale, displayScale);
    QCOMPARE(d.view.scaledWidth, scaledWidth);
    QCOMPARE(d.view.viewCenterX, d.view.viewWidth / 2);
    const cv::Rect r = pictureRect(d.canvas());
    QCOMPARE(QRect(r.x, r.y, r.width, r.height), picture);
    // Mono is grey in all three channels, the rest is border.
    QCOMPARE(at(d.canvas(), r.x + r.width / 2, r.y + r.height / 2), cv::Vec3b(200, 200, 200));
    QCOMPARE(at(d.canvas(), 0, 0) == border, r.x > 0 || r.y > 0);
}

void TestImageDisplay::quarterTurnsMoveTheCorner_data() {
    QTest::addColumn<int>("displayRotation");
    QTest::addColumn<int>("cameraRotation");
    QTest::addColumn<QPoint>(
        "corner"); // where the frame's top-left lands: 0 left/top, 1 right/bottom
    QTest::newRow("none") << 0 << 0 << QPoint(0, 0);
    QTest::newRow("clockwise") << 1 << 0 << QPoint(1, 0);
    QTest::newRow("half") << 2 << 0 << QPoint(1, 1);
    QTest::newRow("counter-clockwise") << 3 << 0 << QPoint(0, 1);
    QTest::newRow("camera turned") << 0 << 1 << QPoint(1, 0);
    QTest::newRow("both add up") << 3 << 3 << QPoint(1, 1);
}

void TestImageDisplay::quarterTurnsMoveTheCorner() {
    QFETCH(int, displayRotation);
    QFETCH(int, cameraRotation);
    QFETCH(QPoint, corner);
    Display d;
    d.view.displayRotation = displayRotation;
    d.view.cameraRotation = cameraRotation;
    cv::Mat frame = mono(1200, 800, 40);
    frame(cv::Rect(0, 0, 100, 100)).setTo(250);
    d.show(frame);
    const bool portrait = (displayRotation + cameraRotation) % 2;
    QCOMPARE(d.view.viewWidth, portrait ? 800 : 1200);
    const cv::Rect r = pictureRect(d.canvas());
    if (portrait) // centred horizontally between dark-blue borders
        QCOMPARE(r.x, (1200 - r.width) / 2);
    QCOMPARE(r.size(), portrait ? cv::Size(416, 624) : cv::Size(960, 640));
    const int x = corner.x() ? r.x + r.width - 5 : r.x + 5;
    const int y = corner.y() ? r.y + r.height - 5 : r.y + 5;
    QCOMPARE(at(d.canvas(), x, y), cv::Vec3b(250, 250, 250));
    const int otherX = corner.x() ? r.x + 5 : r.x + r.width - 5;
    QCOMPARE(at(d.canvas(), otherX, y), cv::Vec3b(40, 40, 40));
}

void TestImageDisplay::bayerCodesDemosaicTheirPhase_data() {
    QTest::addColumn<int>("bayer");
    QTest::addColumn<int>("zoom");
    for (int bayer = 0; bayer < 4; ++bayer) {
        QTest::addRow("code %d", bayer) << bayer << 1;
        QTest::addRow("code %d zoomed", bayer) << bayer << 4;
    }
}

void TestImageDisplay::bayerCodesDemosaicTheirPhase() {
    QFETCH(int, bayer);
    QFETCH(int, zoom);
    Display d;
    const cv::Mat mosaic = redMosaic(640, 480, bayer);
    d.display.setDisplayGeometry(640, 480);
    d.view.zoom = zoom;
    d.view.viewCenterX = 333; // an odd window origin must not shift the phase
    d.view.viewCenterY = 211;
    d.display.showImage(mosaic, true, bayer);
    const cv::Vec3b centre = at(d.canvas(), 600, 320);
    QVERIFY2(centre[2] > 200 && centre[1] < 40 && centre[0] < 40,
             qPrintable(QString("BGR %1 %2 %3").arg(centre[0]).arg(centre[1]).arg(centre[2])));
    // Without the colour flag the mosaic is shown as it is.
    d.display.showImage(mosaic, false, bayer);
    const cv::Vec3b grey = at(d.canvas(), 600, 320);
    QVERIFY(grey[0] == grey[1] && grey[1] == grey[2]);
}

void TestImageDisplay::zoomedWindowMatchesTheWholeFrameTurnedAndCut_data() {
    QTest::addColumn<int>("turns");
    QTest::addColumn<QPoint>("centre");
    for (int turns = 0; turns < 4; ++turns) {
        QTest::addRow("turns %d, inside", turns) << turns << QPoint(301, 257);
        QTest::addRow("turns %d, corner", turns) << turns << QPoint(5, 2000);
    }
}

// The display demosaics and turns only the window it shows; the result must be the picture
// got by demosaicing and turning the whole frame, then cutting the window.
void TestImageDisplay::zoomedWindowMatchesTheWholeFrameTurnedAndCut() {
    QFETCH(int, turns);
    QFETCH(QPoint, centre);
    cv::Mat mosaic(533, 811, CV_8UC1);
    cv::randu(mosaic, 0, 256);
    Display d;
    d.view.displayRotation = turns;
    d.display.setDisplayGeometry(mosaic.cols, mosaic.rows);
    d.view.zoom = 4;
    d.view.viewCenterX = centre.x();
    d.view.viewCenterY = centre.y();
    d.display.showImage(mosaic, true, 2);

    cv::Mat colour, whole;
    cv::cvtColor(mosaic, colour, cv::COLOR_BayerGB2BGR);
    const int codes[] = {-1, cv::ROTATE_90_CLOCKWISE, cv::ROTATE_180,
                         cv::ROTATE_90_COUNTERCLOCKWISE};
    if (turns)
        cv::rotate(colour, whole, codes[turns]);
    else
        whole = colour;
    const int w = d.view.viewWidth / 4, h = d.view.viewHeight / 4;
    const int x = std::clamp(centre.x() - w / 2, 0, whole.cols - w);
    const int y = std::clamp(centre.y() - h / 2, 0, whole.rows - h);
    // 960 of 811 columns, or 416 of 533 on its side: the scaled widths cut to multiples of 16.
    const double s = turns % 2 ? 416.0 / 533 : 960.0 / 811;
    cv::Mat expected;
    cv::resize(whole(cv::Rect(x, y, w, h)), expected, cv::Size(), 4 * s, 4 * s, cv::INTER_LINEAR);
    const cv::Rect r = pictureRect(d.canvas());
    QCOMPARE(r.width, expected.cols);
    QCOMPARE(r.height, expected.rows);
    // Left of the navigator.
    const int width = std::min(r.width, 985 - r.x);
    QCOMPARE(cv::norm(d.canvas()(cv::Rect(r.x, r.y, width, r.height)),
                      expected(cv::Rect(0, 0, width, r.height)), cv::NORM_INF),
             0.0);
}

void TestImageDisplay::badFramesKeepThePreviousPicture() {
    LogRecorder log;
    Display d;
    d.show(mono(600, 400, 77));
    const cv::Mat before = d.canvas().clone();
    d.display.showImage(cv::Mat(), false, 0);
    d.display.showImage(cv::Mat(10, 0, CV_8UC1), false, 0);
    d.display.showImage(cv::Mat(10, 10, CV_16UC1, cv::Scalar(1000)), false, 0);
    QVERIFY(log.contains("Data Empty"));
    QCOMPARE(log.lines().count("Illegal Data"), 2);
    QCOMPARE(cv::norm(d.canvas(), before, cv::NORM_INF), 0.0);

    // A scale that cuts down to nothing, and geometry never set.
    d.display.setDisplayGeometry(1000, 10);
    d.display.showImage(mono(10, 10, 200), false, 0);
    ImageDisplay fresh(d.state);
    const cv::Mat blank = fresh.canvas().clone();
    fresh.showImage(mono(600, 400, 77), false, 0);
    QCOMPARE(log.lines().count("Illegal data 2-2"), 2);
    QCOMPARE(cv::norm(d.canvas(), before, cv::NORM_INF), 0.0);
    QCOMPARE(cv::norm(fresh.canvas(), blank, cv::NORM_INF), 0.0);
    QCOMPARE(at(blank, 600, 320), border);
}

void TestImageDisplay::zoomWindowStaysInsideTheImage_data() {
    QTest::addColumn<QPoint>("centre");
    QTest::addColumn<int>("firstColumn"); // frame column shown at the picture's left edge
    QTest::addColumn<int>("firstRow");
    // 1000 x 800 at zoom 4: a window of 250 x 200.
    QTest::newRow("top-left") << QPoint(0, 0) << 0 << 0;
    QTest::newRow("bottom-right") << QPoint(999, 799) << 750 << 600;
    QTest::newRow("far outside") << QPoint(-500, 5000) << 0 << 600;
    QTest::newRow("inside") << QPoint(500, 400) << 375 << 300;
}

void TestImageDisplay::zoomWindowStaysInsideTheImage() {
    QFETCH(QPoint, centre);
    QFETCH(int, firstColumn);
    QFETCH(int, firstRow);
    // Each pixel tells its place: blue = column / 4, green = row / 4.
    cv::Mat frame(800, 1000, CV_8UC3);
    for (int y = 0; y < frame.rows; ++y) {
        for (int x = 0; x < frame.cols; ++x)
            frame.at<cv::Vec3b>(y, x) = cv::Vec3b(x / 4, y / 4, 0);
    }
    Display d;
    d.display.setDisplayGeometry(1000, 800);
    d.view.zoom = 4;
    d.view.viewCenterX = centre.x();
    d.view.viewCenterY = centre.y();
    d.display.showImage(frame, true, 0);
    const cv::Rect r = pictureRect(d.canvas());
    QCOMPARE(r.size(), cv::Size(800, 640));
    const cv::Vec3b topLeft = at(d.canvas(), r.x, r.y);
    QVERIFY2(std::abs(topLeft[0] - firstColumn / 4) <= 1 &&
                 std::abs(topLeft[1] - firstRow / 4) <= 1,
             qPrintable(QString("%1 %2").arg(topLeft[0]).arg(topLeft[1])));
    const cv::Vec3b bottomRight = at(d.canvas(), r.br().x - 1, r.br().y - 1);
    QVERIFY(std::abs(bottomRight[0] - (firstColumn + 249) / 4) <= 1);
    QVERIFY(std::abs(bottomRight[1] - (firstRow + 199) / 4) <= 1);
}

void TestImageDisplay::touchRequestsAreClamped() {
    Display d;
    d.display.setDisplayGeometry(1000, 800);
    QVERIFY(!d.display.applyViewRequests());

    d.display.requestZoom(4);
    d.display.requestCenter(-50, 10000);
    QVERIFY(d.display.applyViewRequests());
    QCOMPARE(d.view.zoom, 4);
    // Window 250 x 200: x in [125, 874], y in [100, 699].
    QCOMPARE(d.view.viewCenterX, 125);
    QCOMPARE(d.view.viewCenterY, 699);
    QVERIFY(!d.display.applyViewRequests());

    d.display.requestCenter(2000, -3);
    QVERIFY(d.display.applyViewRequests());
    QCOMPARE(d.view.viewCenterX, 874);
    QCOMPARE(d.view.viewCenterY, 100);

    // Zooming in further narrows the window: the centre may move out again.
    d.display.requestZoom(2);
    QVERIFY(d.display.applyViewRequests());
    QCOMPARE(d.view.viewCenterX, 749); // window 500 x 400
    QCOMPARE(d.view.viewCenterY, 200);
    // A centre that clamps to the present one is no change.
    d.display.requestCenter(874, 100);
    QVERIFY(!d.display.applyViewRequests());

    // An impossible zoom is held to the range.
    d.display.requestZoom(1000);
    d.display.requestShrink(-4);
    QVERIFY(d.display.applyViewRequests());
    QCOMPARE(d.view.zoom, 32);
    QCOMPARE(d.view.shrink, 1);
}

void TestImageDisplay::zoomShrinkAndRotateButtons() {
    LogRecorder log;
    Display d;
    d.state.appDir = "C:\\Vesperix";
    QCOMPARE(d.display.rotateIconPath(), QString("C:\\Vesperix\\PNG\\rotate1.png"));
    const QString dataFolder = qEnvironmentVariable("VESPERIX_BIN_DIR") + "/PNG/";
    for (int step = 1; step <= 4; ++step) {
        const QString icon = d.display.rotate();
        QCOMPARE(d.view.displayRotation, step % 4);
        QCOMPARE(icon, QString("C:\\Vesperix\\PNG\\rotate%1.png").arg(step % 4 + 1));
        QVERIFY(QImage(dataFolder + QString("rotate%1.png").arg(step)).hasAlphaChannel());
    }

    d.display.setFocusPoint(700, 300);
    QVERIFY(log.contains("setFocusPoint x=700 y=300"));
    QVERIFY(d.view.focusPointSet);
    d.view.minStarSize = 12;
    d.display.zoomIn();
    QCOMPARE(d.view.zoom, 2);
    QVERIFY(!d.view.focusPointSet);
    QCOMPARE(d.view.minStarSize, ViewState::noStarSize);
    for (int i = 0; i < 10; ++i)
        d.display.zoomIn();
    QCOMPARE(d.view.zoom, 32);
    for (int i = 0; i < 5; ++i)
        d.display.zoomOut(true);
    QCOMPARE(d.view.zoom, 1);
    QCOMPARE(d.view.shrink, 1);
    d.display.zoomOut(false); // shrinking is for live view only
    QCOMPARE(d.view.shrink, 1);
    for (int i = 0; i < 10; ++i)
        d.display.zoomOut(true);
    QCOMPARE(d.view.shrink, 16);
    d.display.zoomIn(); // undoes the shrink before it zooms
    QCOMPARE(d.view.shrink, 8);
    QCOMPARE(d.view.zoom, 1);
}

void TestImageDisplay::shrinkReducesTheLivePicture() {
    Display d;
    d.display.setDisplayGeometry(6000, 4000);
    d.view.shrink = 4;
    d.display.showImage(mono(6000, 4000, 120), false, 0);
    const cv::Rect r = pictureRect(d.canvas());
    QCOMPARE(r, cv::Rect(480, 240, 240, 160));
}

void TestImageDisplay::navigatorShowsTheWindow() {
    Display d;
    d.display.setDisplayGeometry(1000, 800);
    d.view.zoom = 4;
    d.view.viewCenterX = 125; // the window's left edge on the image's
    d.view.viewCenterY = 400;
    d.display.showImage(mono(1000, 800, 0), false, 0);
    // Outer frame 200 x 160, bottom-left at (990, 630); inner 50 x 40 at (990, 470 + 60).
    const cv::Mat& c = d.canvas();
    QCOMPARE(at(c, 990, 630), white);
    QCOMPARE(at(c, 1190, 470), white);
    QCOMPARE(at(c, 1100, 470), white);
    QCOMPARE(at(c, 990, 550), white);
    QCOMPARE(at(c, 1000, 530), white);
    QCOMPARE(at(c, 1040, 570), white);
    QVERIFY(at(c, 1020, 550) != white);
    QVERIFY(at(c, 1045, 570) != white);
    QVERIFY(at(c, 1100, 500) != white);

    d.view.zoom = 1; // no navigator at zoom 1
    d.display.redraw();
    QCOMPARE(at(d.canvas(), 990, 630), cv::Vec3b(0, 0, 0));
    QCOMPARE(at(d.canvas(), 1000, 530), border);
}

void TestImageDisplay::histograms_data() {
    QTest::addColumn<bool>("colour");
    QTest::newRow("mono") << false;
    QTest::newRow("colour") << true;
}

void TestImageDisplay::histograms() {
    QFETCH(bool, colour);
    Display d;
    d.state.infoPanelOn = 1;
    // Left half one level, right half another, in a third of the pixels a peak of its own.
    cv::Mat frame(400, 600, colour ? CV_8UC3 : CV_8UC1, cv::Scalar(30, 60, 90));
    frame(cv::Rect(300, 0, 300, 400)).setTo(cv::Scalar(40, 80, 120));
    frame(cv::Rect(300, 0, 300, 200)).setTo(cv::Scalar(50, 100, 150));
    d.show(frame, colour);
    const cv::Mat& c = d.canvas();
    // 256 lines two pixels apart from x = 344; full height (100) at the largest count.
    struct Histogram {
        int baseline, channel, low, mid, high;
        cv::Vec3b colour;
    };
    const std::vector<Histogram> expected =
        colour ? std::vector<Histogram>{{250, 2, 90, 120, 150, {0, 0, 255}},
                                        {370, 1, 60, 80, 100, {0, 255, 0}},
                                        {490, 0, 30, 40, 50, {255, 0, 0}}}
               : std::vector<Histogram>{{370, 0, 30, 40, 50, {0, 255, 0}}};
    for (const Histogram& h : expected) {
        const int lowX = 344 + 2 * h.low, midX = 344 + 2 * h.mid, highX = 344 + 2 * h.high;
        QCOMPARE(at(c, lowX, h.baseline - 99), h.colour); // half the picture: the peak
        QCOMPARE(at(c, lowX, h.baseline - 101) == h.colour, false);
        QCOMPARE(at(c, midX, h.baseline - 49), h.colour); // a quarter: half as high
        QCOMPARE(at(c, midX, h.baseline - 52) == h.colour, false);
        QCOMPARE(at(c, highX, h.baseline - 49), h.colour);
        QCOMPARE(at(c, lowX + 1, h.baseline - 50) == h.colour, false); // lines 2 px apart
        QCOMPARE(at(c, 344 + 512, h.baseline), h.colour);              // 512-pixel axis
        QCOMPARE(at(c, 344, h.baseline - 100), h.colour);              // 100-pixel axis
        QCOMPARE(at(c, 344 + 513, h.baseline) == h.colour, false);
    }
    // Not when zoomed.
    d.view.zoom = 2;
    d.display.redraw();
    QCOMPARE(at(d.canvas(), 344, expected[0].baseline - 100) == expected[0].colour, false);
}

void TestImageDisplay::chartOverlayOnlyOverTheWholeLiveView() {
    Display d;
    int calls = 0;
    d.display.chartOverlay = [&](cv::Mat& canvas, const ImageDisplay::LivePicture& picture) {
        QCOMPARE(canvas.size(), cv::Size(1200, 640));
        QCOMPARE(picture.frameSize, cv::Size(600, 400));
        ++calls;
    };
    d.state.captureState = 1;
    d.show(mono(600, 400, 10));
    QCOMPARE(calls, 1);
    d.state.liveOverlayOn = false;
    d.display.redraw();
    d.state.liveOverlayOn = true;
    d.state.captureState = 3;
    d.display.redraw();
    d.state.captureState = 1;
    d.view.zoom = 2;
    d.display.redraw();
    QCOMPARE(calls, 1);
}

void TestImageDisplay::presentGetsTheCanvas() {
    Display d;
    QImage shown;
    d.display.present = [&](const QImage& image) { shown = image.copy(); };
    cv::Mat frame(400, 600, CV_8UC3, cv::Scalar(10, 20, 200)); // red in BGR
    d.show(frame, true);
    QCOMPARE(shown.size(), QSize(1200, 640));
    QCOMPARE(shown.pixel(600, 320), qRgb(200, 20, 10));
    QCOMPARE(shown.pixel(0, 0), qRgb(0, 0, 80));
}

void TestImageDisplay::addBrightnessClamps() {
    cv::Mat grey = row({0, 100, 200, 250});
    addBrightness(grey, 10);
    QCOMPARE(cv::norm(grey, row({10, 110, 210, 255}), cv::NORM_INF), 0.0);
    addBrightness(grey, -120);
    QCOMPARE(cv::norm(grey, row({0, 0, 90, 135}), cv::NORM_INF), 0.0);
    cv::Mat colour(2, 2, CV_8UC3, cv::Scalar(5, 128, 250));
    addBrightness(colour, 20);
    QCOMPARE(colour.at<cv::Vec3b>(1, 1), cv::Vec3b(25, 148, 255));
}

void TestImageDisplay::highBytesTakesTheUpperByte() {
    const cv::Mat samples = (cv::Mat_<ushort>(1, 5) << 0x00FF, 0x0100, 0x01FF, 0xFF00, 0xFFFF);
    const cv::Mat high = highBytes(samples);
    QCOMPARE(high.type(), CV_8UC1);
    QCOMPARE(cv::norm(high, row({0, 1, 1, 255, 255}), cv::NORM_INF), 0.0);
    cv::Mat colour(3, 2, CV_16UC3, cv::Scalar(0x1234, 0xABFF, 0x0080));
    const cv::Mat highColour = highBytes(colour);
    QCOMPARE(highColour.type(), CV_8UC3);
    QCOMPARE(highColour.at<cv::Vec3b>(2, 1), cv::Vec3b(0x12, 0xAB, 0x00));
    QVERIFY(highBytes(cv::Mat(2, 2, CV_8UC1)).empty());
}

void TestImageDisplay::saveJpegWritesTheSolverFile() {
    TestDrives drives;
    LogRecorder log;
    cv::Mat frame(300, 400, CV_8UC1, cv::Scalar(30));
    cv::circle(frame, cv::Point(200, 150), 20, cv::Scalar(255), -1);
    saveJpeg(frame);
    const QString path = drives.root() + "/C/VesperixData/solve.jpg";
    const cv::Mat read = cv::imread(path.toStdString(), cv::IMREAD_GRAYSCALE);
    QCOMPARE(read.size(), frame.size());
    QVERIFY(read.at<uchar>(150, 200) > 240 && read.at<uchar>(10, 10) < 40);

    const qint64 size = QFileInfo(path).size();
    saveJpeg(cv::Mat());
    QVERIFY(log.contains("Data Empty saveJpeg"));
    QCOMPARE(QFileInfo(path).size(), size);
    QVERIFY(!log.contains("imwrite faile"));
}

void TestImageDisplay::focusSizeFollowsTheFocus() {
    Display d;
    d.display.setDisplayGeometry(sensor.width, sensor.height);
    d.view.zoom = 4;
    d.view.viewCenterX = star.x;
    d.view.viewCenterY = star.y;
    d.display.setFocusPoint(600, 320); // the window's centre: the star
    // The median size of five frames at each focus, from far out into focus.
    std::vector<int> medians, all;
    std::uint64_t number = 10;
    for (double defocus : {4.0, 2.0, 0.0}) {
        std::vector<int> sizes;
        for (int i = 0; i < 5; ++i) {
            d.display.showImage(skyFrame(defocus, ++number), false, 0);
            sizes.push_back(d.display.lastStarSize());
        }
        all.insert(all.end(), sizes.begin(), sizes.end());
        std::nth_element(sizes.begin(), sizes.begin() + 2, sizes.end());
        medians.push_back(sizes[2]);
    }
    QVERIFY2(medians[0] > medians[1] && medians[1] > medians[2] && medians[2] >= 5,
             qPrintable(QString("sizes %1 %2 %3").arg(medians[0]).arg(medians[1]).arg(medians[2])));
    const int smallest = *std::min_element(all.begin(), all.end());
    QCOMPARE(d.view.minStarSize, smallest);
    // Out of focus again: larger sizes, the minimum stays.
    const cv::Point before(d.view.focusPointX, d.view.focusPointY);
    d.display.showImage(skyFrame(3, ++number), false, 0);
    QVERIFY(d.display.lastStarSize() > smallest);
    QCOMPARE(d.view.minStarSize, smallest);
    // The white square of side 32 * zoom * s around the point, 51 pixels each way; the point
    // then follows the star by a few pixels at most.
    QCOMPARE(at(d.canvas(), before.x - 51, before.y), white);
    QCOMPARE(at(d.canvas(), before.x, before.y + 51), white);
    const cv::Point p(d.view.focusPointX, d.view.focusPointY);
    QVERIFY(std::abs(p.x - before.x) <= 3 && std::abs(p.y - before.y) <= 3);
    // The two texts right of the point: white pixels there, none further right.
    const int textX = p.x + 54;
    QVERIFY(cv::countNonZero(d.canvas()(cv::Rect(textX, p.y - 14, 60, 14)).reshape(1) == 255) > 20);
    QVERIFY(cv::countNonZero(d.canvas()(cv::Rect(textX, p.y, 80, 14)).reshape(1) == 255) > 20);
    saveScreenshot(QImage(d.canvas().data, 1200, 640, int(d.canvas().step), QImage::Format_BGR888),
                   "imagedisplay-focus");

    // Only when zoomed in and not shrunk.
    d.view.zoom = 1;
    d.display.redraw();
    QCOMPARE(d.display.lastStarSize(), 0);
}

void TestImageDisplay::focusPointFollowsTheStar_data() {
    QTest::addColumn<int>("turns");
    for (int turns = 0; turns < 4; ++turns)
        QTest::addRow("turns %d", turns) << turns;
}

// Touched a little beside the star, the point creeps onto it, whichever way the view is turned.
void TestImageDisplay::focusPointFollowsTheStar() {
    QFETCH(int, turns);
    Display d;
    d.view.displayRotation = turns;
    d.display.setDisplayGeometry(sensor.width, sensor.height);
    const int w = sensor.width, h = sensor.height;
    const cv::Point turned[] = {
        star, {h - 1 - star.y, star.x}, {w - 1 - star.x, h - 1 - star.y}, {star.y, w - 1 - star.x}};
    d.view.zoom = 8;
    d.view.viewCenterX = turned[turns].x;
    d.view.viewCenterY = turned[turns].y;
    const cv::Mat frame = skyFrame(2, 99);
    d.display.showImage(frame, false, 0);
    const cv::Rect r = pictureRect(d.canvas());
    const cv::Point onStar(r.x + r.width / 2, r.y + r.height / 2);
    d.display.setFocusPoint(onStar.x + 30, onStar.y - 20);
    const auto distance = [&] {
        return std::hypot(d.view.focusPointX - onStar.x, d.view.focusPointY - onStar.y);
    };
    const double before = distance();
    for (int i = 0; i < 10; ++i)
        d.display.showImage(frame, false, 0);
    QVERIFY2(distance() < before / 2, qPrintable(QString::number(distance())));
    QVERIFY(d.display.lastStarSize() > 0);
}

QTEST_MAIN(TestImageDisplay)
#include "tst_imagedisplay.moc"
