// The picture on screen end to end: stored frames, the series preview, the full-screen view
// and live view of the simulated sky, with the automatic stretch and without it.
#include "DataFolder.h"
#include "E2eProgram.h"
#include "EvfWindow.h"
#include "FrameOps.h"
#include "ImageDisplay.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "TiffFile.h"

#include <QApplication>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <cstdlib>
#include <opencv2/imgproc.hpp>
#include <vector>

namespace {

// Grey levels of a picture: its median and how many pixels stand an eighth of full scale
// above it, the stars the reduction to the screen has kept.
struct Levels {
    int median = 0;
    int stars = 0;
};

Levels levelsOf(const cv::Mat& picture, const cv::Mat& mask = cv::Mat()) {
    cv::Mat grey;
    cv::cvtColor(picture, grey, cv::COLOR_BGR2GRAY);
    std::vector<int> counts(256, 0);
    int total = 0;
    for (int y = 0; y < grey.rows; ++y) {
        for (int x = 0; x < grey.cols; ++x) {
            if (mask.empty() || mask.at<uchar>(y, x)) {
                ++counts[grey.at<uchar>(y, x)];
                ++total;
            }
        }
    }
    Levels levels;
    int below = counts[0];
    while (2 * below < total)
        below += counts[++levels.median];
    for (int level = levels.median + 32; level < 256; ++level)
        levels.stars += counts[level];
    return levels;
}

// The image area of the canvas, without the dark-blue border.
Levels shownLevels(E2eProgram& e2e) {
    const cv::Mat& canvas = e2e.program().display().canvas();
    const cv::Vec3b border(80, 0, 0);
    cv::Mat isBorder;
    cv::inRange(canvas, border, border, isBorder);
    return levelsOf(canvas, ~isBorder);
}

QString describe(const Levels& levels) {
    return QString("median %1, %2 star pixels").arg(levels.median).arg(levels.stars);
}

// The stretch puts the background between a tenth and two fifths of full scale, and the
// stars well above it.
bool stretched(const Levels& levels) {
    return levels.median >= 26 && levels.median <= 102 && levels.stars >= 60;
}

// The median of a stored frame's high bytes: what the screen shows without the stretch.
int highByteMedian(const QString& windowsPath) {
    ShootingData data;
    const cv::Mat bytes = highBytes(readTiff(windowsPath, data));
    std::vector<uchar> values(bytes.begin<uchar>(), bytes.end<uchar>());
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

bool isRed(E2eProgram& e2e, const char* button) {
    return e2e.window().findChild<QPushButton*>(button)->styleSheet().contains("red");
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT
private slots:
    void previewStretch();
};

void TestPreview::previewStretch() {
    // Two frames of the default two minutes, as a newcomer takes them.
    E2eProgram::Options options;
    options.clockScale = 200;
    E2eProgram e2e(options);
    SettingsRecord& settings = e2e.settings();
    settings.timRep = 2;
    settings.timInt = 0;
    const ImageDisplay& display = e2e.program().display();
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return display.frameNumber() >= 1; }));
    QCOMPARE(e2e.window().mode(), 2);
    QVERIFY(isRed(e2e, "pushButtonStretch"));
    QVERIFY2(stretched(shownLevels(e2e)), qPrintable(describe(shownLevels(e2e))));
    saveScreenshot(&e2e.window(), "SeriesStretched");
    QVERIFY(e2e.runUntil(
        [&] { return e2e.state().captureState == 3 && e2e.program().dataFolder().count() == 2; }));
    const int dark = highByteMedian(e2e.program().dataFolder().currentPath());

    // Off and on again, on the last frame of the series and on the same frame played back.
    auto switchesOffAndOn = [&](const char* where) {
        const int number = display.frameNumber();
        QVERIFY(e2e.press("pushButtonStretch"));
        QVERIFY2(display.frameNumber() == number + 1, where);
        QVERIFY(!isRed(e2e, "pushButtonStretch"));
        const Levels off = shownLevels(e2e);
        QVERIFY2(std::abs(off.median - dark) <= 2 && off.median < 26,
                 qPrintable(QString("%1: %2, high bytes %3").arg(where, describe(off)).arg(dark)));
        QVERIFY(e2e.press("pushButtonStretch"));
        QVERIFY(isRed(e2e, "pushButtonStretch"));
        QVERIFY2(stretched(shownLevels(e2e)), where);
    };
    switchesOffAndOn("series preview");
    QVERIFY(e2e.press("pushButton_32"));
    QVERIFY(e2e.press("pushButton_32"));
    QCOMPARE(e2e.window().mode(), 3);
    QVERIFY2(stretched(shownLevels(e2e)), qPrintable(describe(shownLevels(e2e))));
    saveScreenshot(&e2e.window(), "PlaybackStretched");
    switchesOffAndOn("playback");

    QVERIFY(e2e.press("pushButton_77"));
    EvfWindow* evf = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<EvfWindow*>(top); window && window->isVisible())
            evf = window;
    }
    QVERIFY(evf);
    const Levels full = levelsOf(evf->view().picture());
    QVERIFY2(stretched(full), qPrintable(describe(full)));
    saveScreenshot(evf, "FullScreenStretched");
    evf->close();

    // Live view keeps its own switch, off until the user turns it on.
    QVERIFY(e2e.press("pushButton_32"));
    settings.lexposure = 12; // 4 s
    QVERIFY(e2e.press("pushButton_7"));
    QVERIFY(!isRed(e2e, "pushButtonStretch"));
    int number = display.frameNumber();
    QVERIFY(e2e.runUntil([&] { return display.frameNumber() >= number + 2; }));
    QVERIFY2(shownLevels(e2e).median < 26, qPrintable(describe(shownLevels(e2e))));
    QVERIFY(e2e.press("pushButtonStretch"));
    QVERIFY(e2e.state().liveStretch && e2e.state().previewStretch);
    QVERIFY(isRed(e2e, "pushButtonStretch"));
    number = display.frameNumber();
    QVERIFY(e2e.runUntil([&] { return display.frameNumber() >= number + 2; }));
    QVERIFY2(stretched(shownLevels(e2e)), qPrintable(describe(shownLevels(e2e))));
    saveScreenshot(&e2e.window(), "LiveStretched");
    QVERIFY(e2e.press("pushButton_7"));
}

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
