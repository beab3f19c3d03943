// Compositing end to end on the simulated observatory: a light series stacked as it is taken,
// and the composite built by hand from the data folder, saved, and taken up again.
#include "CompositeService.h"
#include "CompositeStarDetector.h"
#include "CompositeWindow.h"
#include "DataFolder.h"
#include "E2eFrames.h"
#include "E2eProgram.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "SimCamera.h"
#include "SimObservatory.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace {

CompositeWindow* compositeWindow(E2eProgram& e2e) {
    return e2e.program().composite().window();
}

QStringList reportOf(CompositeWindow* window) {
    return window ? window->report() : QStringList();
}

void click(CompositeWindow* window, const char* name) {
    window->findChild<QPushButton*>(name)->click();
}

cv::Mat greyOf(const cv::Mat& image) {
    cv::Mat grey;
    if (image.channels() == 3)
        cv::cvtColor(image, grey, cv::COLOR_BGR2GRAY);
    else
        grey = image;
    return grey;
}

// The sky's noise: from the differences of pixels two apart, which the sky's slow gradients
// leave out; the median absolute difference, stars being few.
double noiseOf(const cv::Mat& grey) {
    std::vector<int> differences;
    differences.reserve(grey.total());
    for (int y = 0; y < grey.rows; ++y) {
        const std::uint16_t* row = grey.ptr<std::uint16_t>(y);
        for (int x = 0; x + 2 < grey.cols; ++x)
            differences.push_back(std::abs(int(row[x + 2]) - int(row[x])));
    }
    auto middle = differences.begin() + long(differences.size() / 2);
    std::nth_element(differences.begin(), middle, differences.end());
    return *middle;
}

// Second moments of a star at (x, y): the root of its mean squared distance from the point,
// weighted by its light above the box's median (the sky).
double widthAt(const cv::Mat& grey, double x, double y) {
    const cv::Rect box(int(x) - 7, int(y) - 7, 15, 15);
    if ((box & cv::Rect(0, 0, grey.cols, grey.rows)) != box)
        return -1;
    std::vector<std::uint16_t> samples;
    for (int r = box.y; r < box.y + 15; ++r)
        for (int c = box.x; c < box.x + 15; ++c)
            samples.push_back(grey.at<std::uint16_t>(r, c));
    std::nth_element(samples.begin(), samples.begin() + 112, samples.end());
    const double sky = samples[112];
    double sum = 0, moment = 0;
    for (int r = box.y; r < box.y + 15; ++r)
        for (int c = box.x; c < box.x + 15; ++c) {
            const double w = std::max(0.0, grey.at<std::uint16_t>(r, c) - sky);
            sum += w;
            moment += w * ((c - x) * (c - x) + (r - y) * (r - y));
        }
    return sum > 0 ? std::sqrt(moment / sum) : -1;
}

// The median width of the twenty brightest stars of the base, measured on both pictures at
// the base's places: the composite lies on the base.
std::pair<double, double> starWidths(const cv::Mat& base, const cv::Mat& composite) {
    std::vector<StarEntry> stars = CompositeStarDetector::detectStars(base);
    std::sort(stars.begin(), stars.end(),
              [](const StarEntry& a, const StarEntry& b) { return a.area > b.area; });
    stars.resize(std::min<std::size_t>(stars.size(), 20));
    std::vector<double> baseWidths, widths;
    for (const StarEntry& star : stars) {
        const double b = widthAt(base, star.x, star.y), w = widthAt(composite, star.x, star.y);
        if (b > 0 && w > 0) {
            baseWidths.push_back(b);
            widths.push_back(w);
        }
    }
    const auto median = [](std::vector<double> v) {
        if (v.empty())
            return 0.0;
        std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
        return v[v.size() / 2];
    };
    return {median(baseWidths), median(widths)};
}

// Light frames the composite can align, as a user takes them: the Milky Way in Cygnus through
// a 200 mm lens (a hundred stars of the catalogue), a master dark first so that the sensor's
// hot pixels, which stay where they are, do not pass for stars, and exposures long enough at
// a high enough gain for the stars to reach the upper byte of the samples. Returns the number
// of the first light frame to come.
int readyForLights(E2eProgram& e2e, int frames) {
    SimOptics& optics = e2e.program().sim()->optics();
    optics.pointingRa = 305;
    optics.pointingDec = 40;
    optics.focalLengthMm = 200;
    optics.seeingFwhmArcsec = 6;
    optics.vignetting = 0;  // as after a flat
    optics.deepSky = false; // the stars alone: their sizes and widths are measured
    SettingsRecord& settings = e2e.settings();
    shortSeries(settings, 2, 60, 0);
    settings.gain = 25;
    e2e.camera().setScene(SimScene::CapOn);
    if (!e2e.press("pushButton_33") ||
        !e2e.runUntil([&] { return !settings.preDark.isEmpty(); }, 120000) ||
        !e2e.runUntil([&] { return e2e.state().captureState == 3; }) ||
        !e2e.press("pushButton_32") || !e2e.press("pushButton_26"))
        return 0;
    e2e.camera().setScene(SimScene::Sky);
    shortSeries(settings, frames, 60, 0);
    return e2e.program().dataFolder().lastNumber() + 1;
}

QString frameName(char kind, int number) {
    return QString::asprintf("%c%05d.tif", kind, number);
}

// One light frame ("撮影" with a series of one), until it is listed as `name`.
bool takeFrame(E2eProgram& e2e, const QString& name) {
    return e2e.press("pushButton_6") &&
           e2e.runUntil([&] { return e2e.program().dataFolder().files().contains(name); }, 60000) &&
           e2e.runUntil([&] { return e2e.state().captureState == 3; });
}

} // namespace

class TestComposite : public QObject {
    Q_OBJECT
private slots:
    void automatic();
    void manual();
    void guideError();
    void meridianFlip();
};

// A series of four colour frames with "自動" on, the field drifting 5 px and turning 0.05°
// from frame to frame: the window comes with the first frame, the others are stacked, and the
// saved composite has the base's stars with less noise.
void TestComposite::automatic() {
    E2eProgram e2e;
    const int first = readyForLights(e2e, 4);
    QVERIFY(first > 0);
    const auto colour = [&](int k) { return frameName('C', first + k); };
    e2e.program().sim()->setFieldDrift({3, 4, 0.05});
    QVERIFY(e2e.press("pushButton_81")); // 自動 ON
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return compositeWindow(e2e); }, 60000));
    QCOMPARE(e2e.window().findChild<QLabel*>("labelComposite")->text(), colour(0));
    QVERIFY(e2e.runUntil([&] { return reportOf(compositeWindow(e2e)).size() == 4; }, 120000));
    CompositeWindow* window = compositeWindow(e2e);
    QCOMPARE(window->report(),
             (QStringList{"新規:" + colour(0) + "(1)", "追加:" + colour(1) + "(1)",
                          "追加:" + colour(2) + "(1)", "追加:" + colour(3) + "(1)"}));
    saveScreenshot(window, "CompositeWindow series");

    e2e.messages.clear();
    click(window, "pushButton_3"); // 保存
    QCOMPARE(e2e.messages, QStringList{"保存しました"});
    const QString saved = colour(0).chopped(4) + "+04.tif";
    for (const QString& name : {saved, "K" + saved, "R" + saved.chopped(4) + ".rpt"})
        QVERIFY2(QFileInfo::exists(e2e.dataPath(name)), qPrintable(name));
    QCOMPARE(e2e.window().findChild<QLabel*>("labelComposite")->text(),
             e2e.program().dataFolder().folder() + "\\" + saved);
    saveScreenshot(&e2e.window(), "MainWindow composite saved");

    cv::Mat base, composite;
    dataOf(e2e.dataPath(colour(0)), &base);
    QCOMPARE(dataOf(e2e.dataPath(saved), &composite).frameCount, 4);
    const auto [baseWidth, width] = starWidths(greyOf(base), greyOf(composite));
    const double baseNoise = noiseOf(greyOf(base)), noise = noiseOf(greyOf(composite));
    qInfo("star width %.2f px (base %.2f), noise %.1f (base %.1f)", width, baseWidth, noise,
          baseNoise);
    QVERIFY(std::abs(width - baseWidth) <= 0.1 * baseWidth);
    QVERIFY(noise <= 0.6 * baseNoise);
}

// By hand in playback: "コンポジット" on a frame, "追加" of the next ones with each refusal, a
// frame taken back, closing with and without saving, and the saved composite as a new base
// that keeps its report and count.
void TestComposite::manual() {
    E2eProgram e2e;
    const int first = readyForLights(e2e, 3);
    QVERIFY(first > 0);
    const auto raw = [&](int k) { return frameName('M', first + k); };
    const auto colour = [&](int k) { return frameName('C', first + k); };
    e2e.program().sim()->setFieldDrift({6, -2, 0});
    QVERIFY(e2e.press("pushButton_6"));
    DataFolder& folder = e2e.program().dataFolder();
    QVERIFY(e2e.runUntil([&] { return folder.files().contains(raw(2)); }, 120000));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 3; }));
    const auto showFile = [&](const QString& name) {
        for (int i = 0; i < folder.count() && folder.currentName() != name; ++i)
            folder.nextFile();
        QCOMPARE(folder.currentName(), name);
    };

    showFile(raw(0));
    QVERIFY(e2e.press("pushButton_79"));
    CompositeWindow* window = compositeWindow(e2e);
    QVERIFY(window);
    QCOMPARE(window->report(), QStringList{"新規:" + colour(0) + "(1)"});
    saveScreenshot(&e2e.window(), "MainWindow composite");
    struct Step {
        QString file;
        QString message; // empty: stacked
    };
    const Step steps[] = {
        {raw(1), ""},
        {raw(1), "既にコンポジットされています"},
        {raw(0), "既にコンポジットされています"},
        {raw(2), ""},
    };
    // While a frame is added the program goes on answering: its timers run meanwhile.
    int ticks = 0;
    QTimer ticking;
    QObject::connect(&ticking, &QTimer::timeout, [&] { ++ticks; });
    ticking.start(5);
    for (const Step& step : steps) {
        showFile(step.file);
        e2e.messages.clear();
        const int before = ticks;
        QVERIFY(e2e.press("pushButton_80"));
        QCOMPARE(e2e.messages, step.message.isEmpty() ? QStringList() : QStringList{step.message});
        if (step.message.isEmpty())
            QVERIFY(ticks > before);
    }
    QCOMPARE(window->report().last(), "追加:" + colour(2) + "(1)");
    click(window, "pushButton_4"); // 1枚キャンセル
    QCOMPARE(window->report().last(), "削除:" + colour(2));
    showFile(raw(2));
    QVERIFY(e2e.press("pushButton_80"));

    // "閉じる" with frames unsaved: asked, saved on yes, the label back to "新規".
    e2e.messages.clear();
    click(window, "pushButton_2");
    QCOMPARE(e2e.messages, (QStringList{"現在の状態を保存しますか?", "保存しました"}));
    QVERIFY(e2e.runUntil([&] { return !compositeWindow(e2e); }, 5000));
    QCOMPARE(e2e.window().findChild<QLabel*>("labelComposite")->text(), QString("新規"));
    const QString saved = colour(0).chopped(4) + "+03.tif";
    QVERIFY(folder.files().contains(saved));

    // The saved composite as a base: its report and count come back; a processed file is
    // refused; saved again, listed once.
    showFile(saved);
    QVERIFY(e2e.press("pushButton_79"));
    window = compositeWindow(e2e);
    QVERIFY(window);
    QCOMPARE(window->report().size(), 5);
    QCOMPARE(window->findChild<QLabel*>("labelFileName")->text(), saved + "(コンポジット枚数3枚)");
    showFile("K" + saved);
    e2e.messages.clear();
    QVERIFY(e2e.press("pushButton_80"));
    QCOMPARE(e2e.messages, QStringList{"画像処理されたファイルはコンポジットできません"});
    click(window, "pushButton_3");
    QCOMPARE(folder.files().count(saved), 1);
    click(window, "pushButton_2");
    QVERIFY(e2e.runUntil([&] { return !compositeWindow(e2e); }, 5000));
}

// A frame trailed by a guiding error: its stars grown by about 1.4, it is reported and left
// out under the standard condition, and stacked once the condition is loose.
void TestComposite::guideError() {
    E2eProgram e2e;
    const int first = readyForLights(e2e, 1);
    QVERIFY(first > 0);
    DataFolder& folder = e2e.program().dataFolder();
    QVERIFY(takeFrame(e2e, frameName('M', first)));
    e2e.program().sim()->setTrail(3.5, 30);
    QVERIFY(takeFrame(e2e, frameName('M', first + 1)));

    folder.previousFile();
    QCOMPARE(folder.currentName(), frameName('M', first));
    QVERIFY(e2e.press("pushButton_79"));
    CompositeWindow* window = compositeWindow(e2e);
    QVERIFY(window);
    click(window, "pushButton_6"); // 標準
    folder.nextFile();
    QVERIFY(e2e.press("pushButton_80"));
    const QString trailed = frameName('C', first + 1);
    QCOMPARE(window->report().last(), "ガイドエラー:" + trailed + "(1)");
    const QString sizes = e2e.log.lines().filter("size avg").last();
    const double ratio = sizes.section("cur=", 1).section(',', 0, 0).toDouble() /
                         sizes.section("bas=", 1).toDouble();
    qInfo("%s: ratio %.2f", qPrintable(sizes), ratio);
    QVERIFY(ratio > 1.3 && ratio < 1.5);
    click(window, "pushButton_5"); // 緩め
    QVERIFY(e2e.press("pushButton_80"));
    QCOMPARE(window->report().last(), "追加:" + trailed + "(1)");
}

// After a meridian flip the field comes turned half a turn (and a little more): the frame
// matches only with its stars turned back, and is stacked with the base's star width.
void TestComposite::meridianFlip() {
    E2eProgram e2e;
    const int first = readyForLights(e2e, 1);
    QVERIFY(first > 0);
    DataFolder& folder = e2e.program().dataFolder();
    QVERIFY(takeFrame(e2e, frameName('M', first)));
    e2e.program().sim()->setFieldMove({8, -5, 180.2});
    QVERIFY(takeFrame(e2e, frameName('M', first + 1)));

    folder.previousFile();
    QVERIFY(e2e.press("pushButton_79"));
    CompositeWindow* window = compositeWindow(e2e);
    QVERIFY(window);
    folder.nextFile();
    QVERIFY(e2e.press("pushButton_80"));
    QCOMPARE(window->report().last(), "追加:" + frameName('C', first + 1) + "(1)");
    QVERIFY(e2e.log.contains("trying the frame turned half a turn"));
    click(window, "pushButton_3");
    cv::Mat base, composite;
    dataOf(e2e.dataPath(frameName('C', first)), &base);
    dataOf(e2e.dataPath(frameName('C', first).chopped(4) + "+02.tif"), &composite);
    const auto [baseWidth, width] = starWidths(greyOf(base), greyOf(composite));
    qInfo("star width %.2f px (base %.2f)", width, baseWidth);
    QVERIFY(std::abs(width - baseWidth) <= 0.1 * baseWidth);
}

QTEST_MAIN(TestComposite)
#include "tst_composite.moc"
