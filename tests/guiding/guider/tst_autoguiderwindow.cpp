// The autoguider window without a camera: the axis modes' looks, the compact strip, the graph's
// wrap, and the fold of a video-class camera's picture into the guide image.
#include "AutoGuider.h"
#include "CameraDevice.h"
#include "GuideCameraReadThread.h"
#include "GuideFrameFold.h"
#include "GuideGraph.h"
#include "GuideTimerThread.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsRecord.h"

#include <QPushButton>
#include <QtTest>

namespace {

struct Window {
    ProcessState& state = processState();
    SettingsRecord settings;
    CameraDevice camera{state.stateMutex, QString(), settings};
    GuideCameraReadThread reader{camera};
    GuideTimerThread timer;
    std::unique_ptr<AutoGuider> guider;

    Window() {
        settings.setDefaults();
        state.settings = &settings;
        guider = std::make_unique<AutoGuider>(state, camera, reader, timer);
    }
    QPushButton* button(const char* name) { return guider->findChild<QPushButton*>(name); }
};

bool redAt(const QImage& image, int x) {
    for (int y = 0; y < image.height(); ++y)
        if (image.pixelColor(x, y) == Qt::red)
            return true;
    return false;
}

} // namespace

class TestAutoGuiderWindow : public QObject {
    Q_OBJECT
private slots:
    void modes_data();
    void modes();
    void compactStrip();
    void graphWraps();
    void videoClassFold();
};

void TestAutoGuiderWindow::modes_data() {
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("style");
    QTest::addColumn<bool>("thresholdShown");
    QTest::addColumn<bool>("sensitivityShown");
    QTest::newRow("Auto") << 0 << "Auto"
                          << "background-color:red;color:white" << true << false;
    QTest::newRow("Fix") << 1 << "Fix"
                         << "background-color:blue;color:white" << true << true;
    QTest::newRow("OFF") << 2 << "OFF"
                         << "background-color:white;color:black" << false << false;
    QTest::newRow("Auto again") << 3 << "Auto"
                                << "background-color:red;color:white" << true << false;
}

void TestAutoGuiderWindow::modes() {
    QFETCH(int, presses);
    QFETCH(QString, text);
    QFETCH(QString, style);
    QFETCH(bool, thresholdShown);
    QFETCH(bool, sensitivityShown);
    Window w;
    w.guider->show();
    for (int i = 0; i < presses; ++i) {
        w.button("pushButton_11")->click();
        w.button("pushButton_16")->click();
    }
    for (const char* mode : {"pushButton_11", "pushButton_16"}) {
        QCOMPARE(w.button(mode)->text(), text);
        QCOMPARE(w.button(mode)->styleSheet(), style);
    }
    for (const char* threshold :
         {"pushButton_12", "pushButton_13", "pushButton_17", "pushButton_18"})
        QCOMPARE(w.button(threshold)->isVisible(), thresholdShown);
    for (const char* sense : {"pushButton_14", "pushButton_15", "pushButton_19", "pushButton_20"})
        QCOMPARE(w.button(sense)->isVisible(), sensitivityShown);
}

void TestAutoGuiderWindow::compactStrip() {
    Window w;
    w.guider->show();
    QCOMPARE(w.guider->size(), QSize(800, 736));
    w.button("pushButton_3")->click();
    QCOMPARE(w.guider->height(), 128);
    QCOMPARE(w.button("pushButton_3")->text(), QString("拡大表示"));
    saveScreenshot(w.guider.get(), "AutoGuiderCompact");
    w.button("pushButton_3")->click();
    QCOMPARE(w.guider->height(), 736);
    QCOMPARE(w.button("pushButton_3")->text(), QString("縮小表示"));
}

// At the right edge the graph starts again at the left with the left half cleared; once
// wrapped, the right half is cleared 10 columns before the middle.
void TestAutoGuiderWindow::graphWraps() {
    GuideGraph graph(QSize(40, 20));
    for (int i = 0; i < 40; ++i)
        graph.plot(0.2, 0, GuideGraph::guidingScale, false);
    QCOMPARE(graph.column(), 0);
    QVERIFY(!redAt(graph.image(), 5));
    QVERIFY(redAt(graph.image(), 30));
    for (int i = 0; i < 10; ++i)
        graph.plot(0.2, 0, GuideGraph::guidingScale, false);
    QVERIFY(redAt(graph.image(), 5));
    QVERIFY(!redAt(graph.image(), 30));
}

void TestAutoGuiderWindow::videoClassFold() {
    const cv::Mat picture(960, 1280, CV_8UC3, cv::Scalar(10, 20, 30));
    const cv::Mat folded = foldGuideFrame(picture);
    QCOMPARE(folded.cols, 640);
    QCOMPARE(folded.rows, 480);
    QCOMPARE(int(folded.at<std::uint8_t>(100, 100)), 80);
    // Each pair saturates on its own, then the sum does.
    const cv::Mat bright(960, 1280, CV_8UC3, cv::Scalar(200, 100, 0));
    QCOMPARE(int(foldGuideFrame(bright).at<std::uint8_t>(0, 0)), 255);
    const cv::Mat dim(960, 1280, CV_8UC3, cv::Scalar(100, 20, 0));
    QCOMPARE(int(foldGuideFrame(dim).at<std::uint8_t>(0, 0)), (200 + 40) * 2 / 3);
}

QTEST_MAIN(TestAutoGuiderWindow)
#include "tst_autoguiderwindow.moc"
