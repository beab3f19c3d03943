#include "EvfView.h"
#include "EvfWindow.h"
#include "LogRecorder.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "ShootingData.h"
#include "TestDrives.h"
#include "TiffFile.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QtTest>

namespace {

const cv::Size screen(800, 600);

// An 8-bit mono image whose left `leftColumns` columns are white, the rest black.
cv::Mat leftWhite(int width, int height, int leftColumns) {
    cv::Mat image(height, width, CV_8UC1, cv::Scalar(0));
    image.colRange(0, leftColumns).setTo(255);
    return image;
}

EvfView viewOf(const cv::Mat& image) {
    EvfView view;
    view.setImage(image, false, 0);
    view.setScreenSize(screen);
    return view;
}

int at(const cv::Mat& picture, int x, int y) {
    return picture.at<uint8_t>(y, x);
}

QString writeFrame(const QString& name, const cv::Mat& image16, const QByteArray& model) {
    ShootingData data;
    data.model = model;
    const QString path = "C:\\VesperixData\\" + name;
    if (!writeTiff(path, image16, data))
        qFatal("cannot write %s", qPrintable(name));
    return path;
}

} // namespace

class TestEvfWindow : public QObject {
    Q_OBJECT
private slots:
    void wideImageFillsTheScreenWidth();
    void tallImageIsCutToTheScreenCentred();
    void rotationSwapsTheAxes();
    void zoomAndCentreStayInsideTheImage();
    void zoomedWindowFollowsTheCentre();
    void windowShowsTheFile_data();
    void windowShowsTheFile();
    void emptyImageClosesAtOnce_data();
    void emptyImageClosesAtOnce();
    void pressClosesTheView();
};

void TestEvfWindow::wideImageFillsTheScreenWidth() {
    LogRecorder log;
    const EvfView view = viewOf(leftWhite(400, 100, 200));
    const cv::Mat picture = view.picture();
    QCOMPARE(picture.cols, 800);
    QCOMPARE(picture.rows, 200);
    QCOMPARE(at(picture, 10, 100), 255);
    QCOMPARE(at(picture, 790, 100), 0);
    for (const QString& line : log.lines())
        QVERIFY2(!line.startsWith("resize."), qPrintable(line));
}

void TestEvfWindow::tallImageIsCutToTheScreenCentred() {
    // 100 x 400 scales by 8 to 800 x 3200; the screen shows rows 1300..1899 of that, which
    // are rows 162..237 of the image. Only those rows are white.
    cv::Mat image(400, 100, CV_8UC1, cv::Scalar(0));
    image.rowRange(162, 238).setTo(255);
    LogRecorder log;
    const cv::Mat picture = viewOf(image).picture();
    QCOMPARE(picture.cols, 800);
    QCOMPARE(picture.rows, 600);
    QVERIFY(log.contains("resize.rows=3200, fullScrennHeight=600"));
    QCOMPARE(at(picture, 400, 8), 255);
    QCOMPARE(at(picture, 400, 300), 255);
    QCOMPARE(at(picture, 400, 591), 255);
    QCOMPARE(cv::countNonZero(picture < 255), 0);
}

void TestEvfWindow::rotationSwapsTheAxes() {
    // The white left half of a landscape image becomes the top half after a clockwise turn.
    EvfView view = viewOf(leftWhite(400, 100, 200));
    view.rotate();
    QCOMPARE(view.rotation(), 1);
    QCOMPARE(view.viewSize(), cv::Size(100, 400));
    QCOMPARE(view.center(), cv::Point(50, 200));
    LogRecorder log;
    cv::Mat picture = view.picture();
    QCOMPARE(picture.size(), screen);
    QVERIFY(log.contains("resize.rows=3200, fullScrennHeight=600"));
    QCOMPARE(at(picture, 400, 0), 255);
    QCOMPARE(at(picture, 400, 599), 0);

    view.rotate();
    QCOMPARE(view.viewSize(), cv::Size(400, 100));
    QCOMPARE(at(view.picture(), 10, 100), 0); // upside down: white on the right
    QCOMPARE(at(view.picture(), 790, 100), 255);
    view.rotate();
    view.rotate();
    QCOMPARE(view.rotation(), 0);
    QCOMPARE(at(view.picture(), 10, 100), 255);
}

void TestEvfWindow::zoomAndCentreStayInsideTheImage() {
    EvfView view = viewOf(leftWhite(400, 200, 200));
    for (int i = 0; i < 7; ++i)
        view.zoomIn();
    QCOMPARE(view.zoom(), 32);
    for (int i = 0; i < 7; ++i)
        view.zoomOut();
    QCOMPARE(view.zoom(), 1);

    // At zoom 1 the window is the whole image: the centre cannot move.
    view.moveCenter(300, -300);
    QCOMPARE(view.center(), cv::Point(200, 100));

    view.zoomIn();
    view.zoomIn(); // zoom 4: the window is 100 x 50
    view.moveCenter(100000, 100000);
    QCOMPARE(view.center(), cv::Point(400 - 50 - 1, 200 - 25 - 1));
    view.moveCenter(-100000, -100000);
    QCOMPARE(view.center(), cv::Point(50, 25));
    // 800 screen pixels are the window's 100 image pixels.
    view.moveCenter(80, 40);
    QCOMPARE(view.center(), cv::Point(60, 30));
    // Zooming out pulls the centre back inside the larger window.
    view.zoomOut();
    QCOMPARE(view.center(), cv::Point(100, 50));
    view.rotate();
    QCOMPARE(view.center(), cv::Point(100, 200));
    QCOMPARE(view.zoom(), 2);
}

void TestEvfWindow::zoomedWindowFollowsTheCentre() {
    EvfView view = viewOf(leftWhite(400, 200, 200));
    view.zoomIn();
    view.zoomIn();
    view.moveCenter(100000, 0);
    cv::Mat picture = view.picture();
    QCOMPARE(picture.size(), cv::Size(800, 400));
    QCOMPARE(cv::countNonZero(picture), 0); // the black right side
    view.moveCenter(-100000, 0);
    QCOMPARE(cv::countNonZero(view.picture()), 800 * 400);
}

void TestEvfWindow::windowShowsTheFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<bool>("sideBySide");
    QTest::addColumn<int>("channels");
    QTest::newRow("mono light frame") << "M00001.tif" << QByteArray("M0Mono") << false << 1;
    QTest::newRow("raw colour frame") << "M00002.tif" << QByteArray("C1Colour") << false << 3;
    QTest::newRow("side-by-side 3D") << "C00003_sbs.tif" << QByteArray("M0Colour") << true << 1;
}

void TestEvfWindow::windowShowsTheFile() {
    QFETCH(QString, name);
    QFETCH(QByteArray, model);
    QFETCH(bool, sideBySide);
    QFETCH(int, channels);
    TestDrives drives;
    QVERIFY(QDir().mkpath(drives.root() + "/C/VesperixData"));
    cv::Mat image(300, 600, CV_16UC1, cv::Scalar(0));
    image.colRange(0, 300).setTo(0x8000);
    const QString path = writeFrame(name, image, model);

    ProcessState state;
    LogRecorder log;
    QPointer<EvfWindow> window = new EvfWindow(state, path);
    QVERIFY(window->isVisible());
    QVERIFY(state.evfOpen);
    QVERIFY(log.contains("EVF Window作成中"));
    QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(window->geometry(), QGuiApplication::primaryScreen()->geometry());
    QCOMPARE(window->isSideBySide(), sideBySide);
    QCOMPARE(window->view().picture().channels(), channels);
    const QSize screenSize = QGuiApplication::primaryScreen()->size();
    auto* label = window->findChild<QLabel*>("evfLabel");
    QCOMPARE(label->pixmap(Qt::ReturnByValue).size(),
             QSize(screenSize.width(), 300 * screenSize.width() / 600));
    if (channels == 1)
        saveScreenshot(window, "EvfWindow");

    // The gamepad's requests redraw the picture.
    window->rotate();
    QCOMPARE(label->pixmap(Qt::ReturnByValue).size(), screenSize);
    window->zoomIn();
    QCOMPARE(window->view().zoom(), 2);
    window->zoomOut();
    window->moveCenter(10, 10);
    QCOMPARE(window->view().center(), cv::Point(150, 300));
    if (channels == 1)
        saveScreenshot(window, "EvfWindow-rotated");
    window->close();
    QVERIFY(!state.evfOpen);
    QTRY_VERIFY(window.isNull());
}

void TestEvfWindow::emptyImageClosesAtOnce_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("missing file") << QByteArray();
    QTest::newRow("not one of our files") << QByteArray("II*\0garbage", 11);
}

void TestEvfWindow::emptyImageClosesAtOnce() {
    QFETCH(QByteArray, content);
    TestDrives drives;
    QVERIFY(QDir().mkpath(drives.root() + "/C/VesperixData"));
    if (!content.isEmpty()) {
        QFile file(drives.root() + "/C/VesperixData/M00009.tif");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    ProcessState state;
    LogRecorder log;
    QPointer<EvfWindow> window = new EvfWindow(state, "C:\\VesperixData\\M00009.tif");
    QVERIFY(log.contains("Data Empty"));
    QVERIFY(!window->isVisible());
    QVERIFY(!state.evfOpen);
    QTRY_VERIFY(window.isNull());
}

void TestEvfWindow::pressClosesTheView() {
    TestDrives drives;
    QVERIFY(QDir().mkpath(drives.root() + "/C/VesperixData"));
    const QString path =
        writeFrame("M00004.tif", cv::Mat(60, 80, CV_16UC1, cv::Scalar(1000)), "M0Mono");
    ProcessState state;
    QPointer<EvfWindow> window = new EvfWindow(state, path);
    QVERIFY(state.evfOpen);
    QTest::mouseClick(window->findChild<QLabel*>("evfLabel"), Qt::LeftButton);
    QVERIFY(!state.evfOpen);
    QTRY_VERIFY(window.isNull());
}

QTEST_MAIN(TestEvfWindow)
#include "tst_evfwindow.moc"
