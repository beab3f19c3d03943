// The composite window without a composite behind it: the retouch controls and their limits,
// the exclusion condition, the two sizes, the turned and magnified views, and closing.
#include "CompositeWindow.h"
#include "LayoutFaults.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "UserPrompt.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QtTest>
#include <cmath>
#include <memory>
#include <opencv2/imgproc.hpp>

namespace {

using Values = QVector<int>; // rLevel, gLevel, bLevel, lowX, lowY, highX, highY

Values valuesOf(const RetouchValues& r) {
    return {r.rLevel, r.gLevel, r.bLevel, r.lowX, r.lowY, r.highX, r.highY};
}

const char* const sliderNames[] = {"rSlider",  "gSlider",  "bSlider", "lXSlider",
                                   "lYSlider", "hXSlider", "hYSlider"};

struct Window {
    explicit Window(const Values& stored = valuesOf(RetouchValues()), int compCond = 1) {
        settings.setDefaults();
        int* const fields[] = {&settings.rt_rLevel, &settings.rt_gLevel, &settings.rt_bLevel,
                               &settings.rt_lowX,   &settings.rt_lowY,   &settings.rt_highX,
                               &settings.rt_highY};
        for (int i = 0; i < 7; ++i)
            *fields[i] = stored[i];
        settings.compCond = compCond;
        window =
            std::make_unique<CompositeWindow>(settings, qEnvironmentVariable("VESPERIX_BIN_DIR"));
        window->show();
    }
    template <typename T = QPushButton> T* get(const char* name) const {
        return window->findChild<T*>(name);
    }
    Values sliders() const {
        Values positions;
        for (const char* name : sliderNames)
            positions << get<QSlider>(name)->value();
        return positions;
    }
    // The view is drawn once the events of the pass are through.
    void show(const cv::Mat& image) {
        window->showImage(image);
        QCoreApplication::processEvents();
    }

    SettingsRecord settings;
    std::unique_ptr<CompositeWindow> window;
};

// A night sky in colour: a dim gradient, a reddish glow and stars of several colours.
cv::Mat skyImage(cv::Size size) {
    cv::Mat sky(size, CV_16UC3);
    for (int y = 0; y < sky.rows; ++y)
        for (int x = 0; x < sky.cols; ++x) {
            const double glow =
                std::exp(-std::hypot(x - size.width / 2.0, y - size.height / 2.0) / 200);
            sky.at<cv::Vec3w>(y, x) = cv::Vec3w(5000 + 6000 * glow, 3500 + y * 3 + 9000 * glow,
                                                4000 + x * 3 + 22000 * glow);
        }
    cv::RNG rng(7);
    for (int i = 0; i < 300; ++i) {
        const int v = rng.uniform(20000, 65535);
        cv::circle(sky, {rng.uniform(0, size.width), rng.uniform(0, size.height)},
                   rng.uniform(1, 4), cv::Scalar(v * rng.uniform(0.6, 1.0), v * 0.9, v), cv::FILLED,
                   cv::LINE_AA);
    }
    return sky;
}

} // namespace

class TestCompositeWindow : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void curveOrder_data();
    void curveOrder();
    void steps_data();
    void steps();
    void defaultsAndStored_data();
    void defaultsAndStored();
    void exclusion();
    void sizes();
    void rotation();
    void views_data();
    void views();
    void close_data();
    void close();
    void busyHoldsClose();
};

void TestCompositeWindow::cleanup() {
    UserPrompt::setQuestionHandler({});
    UserPrompt::setMessageHandler({});
}

// Stored curve (64, 40)-(192, 200); a slider value out of order is refused and the slider
// goes back.
void TestCompositeWindow::curveOrder_data() {
    QTest::addColumn<QString>("slider");
    QTest::addColumn<int>("value");
    QTest::addColumn<Values>("curve");
    QTest::newRow("lowX above highX") << "lXSlider" << 200 << Values{64, 40, 192, 200};
    QTest::newRow("lowX below highX") << "lXSlider" << 100 << Values{100, 40, 192, 200};
    QTest::newRow("highX below lowX") << "hXSlider" << 30 << Values{64, 40, 192, 200};
    QTest::newRow("lowY above highY") << "lYSlider" << 220 << Values{64, 40, 192, 200};
    QTest::newRow("highY onto lowY") << "hYSlider" << 40 << Values{64, 40, 192, 200};
    QTest::newRow("highY above lowY") << "hYSlider" << 41 << Values{64, 40, 192, 41};
}

void TestCompositeWindow::curveOrder() {
    QFETCH(QString, slider);
    QFETCH(int, value);
    QFETCH(Values, curve);
    Window w({50, 50, 50, 64, 40, 192, 200});
    w.get<QSlider>(slider.toLatin1())->setValue(value);
    QCOMPARE(valuesOf(w.window->retouch()).mid(3), curve);
    QCOMPARE(w.sliders().mid(3), curve);
}

// Each row changes one value (index into Values) from a start next to its limit.
void TestCompositeWindow::steps_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<Values>("start");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("expected");
    const auto row = [](const char* name, const char* button, Values start, int field, int to) {
        QTest::newRow(name) << QString(button) << start << field << to;
    };
    row("red +3 at 98", "pushButton_11", {98, 50, 50, 0, 0, 255, 255}, 0, 99);
    row("green -3 at 2", "pushButton_12", {50, 2, 50, 0, 0, 255, 255}, 1, 0);
    row("blue +3", "pushButton_15", {50, 50, 50, 0, 0, 255, 255}, 2, 53);
    row("highX +10 at 250", "pushButton_17", {50, 50, 50, 0, 0, 250, 255}, 5, 255);
    row("highX -10 past lowX", "pushButton_16", {50, 50, 50, 100, 0, 105, 255}, 5, 105);
    row("lowX +10 past highX", "pushButton_19", {50, 50, 50, 250, 0, 255, 255}, 3, 250);
    row("lowX -10 at 5", "pushButton_18", {50, 50, 50, 5, 0, 255, 255}, 3, 0);
    row("lowY +10 past highY", "pushButton_20", {50, 50, 50, 0, 100, 255, 105}, 4, 100);
    row("highY -10 at 100", "pushButton_23", {50, 50, 50, 0, 0, 255, 100}, 6, 90);
}

void TestCompositeWindow::steps() {
    QFETCH(QString, button);
    QFETCH(Values, start);
    QFETCH(int, field);
    QFETCH(int, expected);
    Window w(start);
    w.get(button.toLatin1())->click();
    Values after = start;
    after[field] = expected;
    QCOMPARE(valuesOf(w.window->retouch()), after);
    QCOMPARE(w.sliders(), after);
}

// A stored curve out of order is the straight one, on opening and on "前に戻す".
void TestCompositeWindow::defaultsAndStored_data() {
    QTest::addColumn<Values>("stored");
    QTest::addColumn<Values>("loaded");
    QTest::newRow("in order") << Values{10, 20, 30, 40, 50, 60, 70}
                              << Values{10, 20, 30, 40, 50, 60, 70};
    QTest::newRow("lowX at highX")
        << Values{10, 20, 30, 60, 50, 60, 70} << Values{10, 20, 30, 0, 0, 255, 255};
}

void TestCompositeWindow::defaultsAndStored() {
    QFETCH(Values, stored);
    QFETCH(Values, loaded);
    Window w(stored);
    QCOMPARE(valuesOf(w.window->retouch()), loaded);
    w.get("pushButton_9")->click();
    const Values defaults{50, 50, 50, 0, 0, 255, 255};
    QCOMPARE(valuesOf(w.window->retouch()), defaults);
    QCOMPARE(w.sliders(), defaults);
    w.get("pushButton_8")->click();
    QCOMPARE(valuesOf(w.window->retouch()), loaded);
    QCOMPARE(w.sliders(), loaded);
}

void TestCompositeWindow::exclusion() {
    Window w(valuesOf(RetouchValues()), 1);
    const char* const names[] = {"pushButton_5", "pushButton_6", "pushButton_7"};
    for (int chosen : {2, 0, 1}) {
        w.get(names[chosen])->click();
        QCOMPARE(w.settings.compCond, chosen);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(w.get(names[i])->styleSheet(),
                     QString("background-color: rgb(85, 170, 255); color: %1;")
                         .arg(i == chosen ? "red" : "white"));
    }
}

// Both sizes: what the reduced window must keep lies inside it, no two controls overlap, and
// no text is cut off.
void TestCompositeWindow::sizes() {
    Window w;
    w.window->showComposite("CM00012+05.tif", 12);
    w.window->setReport(
        {"新規:CM00012+05.tif(5)", "追加:CM00013.tif(1)", "ガイドエラー:CM00014.tif(1)"});
    w.window->appendReport("マッチせず1:CM00015+03.tif(3)");
    w.show(skyImage({1600, 1066}));
    QCOMPARE(w.get<QLabel>("labelFileName")->text(),
             QString("CM00012+05.tif(コンポジット枚数12枚)"));
    QCOMPARE(w.get<QListWidget>("listWidget")->currentRow(), 3);
    QCOMPARE(w.window->size(), QSize(1280, 740));
    QCOMPARE(w.get("pushButton")->text(), QString("縮小表示"));
    saveScreenshot(w.window.get(), "CompositeWindow");

    const QStringList faults = layoutFaults(w.window.get(), {0, 0});
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(", ")));

    w.get("pushButton")->click();
    QCOMPARE(w.window->size(), QSize(800, 260));
    QCOMPARE(w.get("pushButton")->text(), QString("全画面表示"));
    for (const char* kept : {"pushButton_3", "pushButton_2", "pushButton_4", "pushButton",
                             "labelFileName", "labelCrop", "listWidget"})
        QVERIFY2(w.window->rect().contains(w.get<QWidget>(kept)->geometry()), kept);
    saveScreenshot(w.window.get(), "CompositeWindow reduced");
    w.get("pushButton")->click();
    QCOMPARE(w.window->size(), QSize(1280, 740));
}

// A quarter turn clockwise per press, with the step's icon; a bright corner marks the turn.
void TestCompositeWindow::rotation() {
    Window w;
    cv::Mat image(200, 600, CV_16UC3, cv::Scalar::all(0));
    image(cv::Rect(0, 0, 60, 40)).setTo(cv::Scalar::all(65535));
    w.show(image);
    const QString icons = qEnvironmentVariable("VESPERIX_BIN_DIR") + "/PNG/rotate%1.png";
    const QSize sizes[] = {{896, 299}, {160, 480}, {896, 299}, {160, 480}};
    const QPoint corners[] = {{5, 5}, {154, 5}, {890, 293}, {5, 474}};
    for (int press = 0; press <= 4; ++press) {
        const int step = press % 4;
        QCOMPARE(w.window->rotationStep(), step);
        const cv::Mat& view = w.window->retouchedView();
        QCOMPARE(QSize(view.cols, view.rows), sizes[step]);
        QCOMPARE(int(view.at<cv::Vec3b>(corners[step].y(), corners[step].x())[0]), 255);
        QCOMPARE(w.get("pushButton_74")->icon().pixmap(40).toImage(),
                 QIcon(icons.arg(step + 1)).pixmap(40).toImage());
        w.get("pushButton_74")->click();
        QCoreApplication::processEvents();
    }
}

// The views are retouched: a high byte of 128 through the curve (64, 0)-(192, 255) is 127. An
// image smaller than the magnified view shows whole there.
void TestCompositeWindow::views_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("crop");
    QTest::addColumn<QSize>("view");
    QTest::newRow("colour 300 x 100")
        << CV_16UC3 << QSize(300, 100) << QSize(300, 100) << QSize(896, 299);
    QTest::newRow("mono 300 x 100")
        << CV_16UC1 << QSize(300, 100) << QSize(300, 100) << QSize(896, 299);
    QTest::newRow("colour 1200 x 800")
        << CV_16UC3 << QSize(1200, 800) << QSize(520, 160) << QSize(720, 480);
}

void TestCompositeWindow::views() {
    QFETCH(int, type);
    QFETCH(QSize, size);
    QFETCH(QSize, crop);
    QFETCH(QSize, view);
    Window w({50, 50, 50, 64, 0, 192, 255});
    w.show(cv::Mat(size.height(), size.width(), type, cv::Scalar::all(128 * 256 + 100)));
    QCOMPARE(w.get<QLabel>("labelCrop")->pixmap(Qt::ReturnByValue).size(), crop);
    const cv::Mat& shown = w.window->retouchedView();
    QCOMPARE(QSize(shown.cols, shown.rows), view);
    QCOMPARE(int(shown.ptr<uchar>(shown.rows / 2)[0]), 127);
    QCOMPARE(w.get<QLabel>("labelCrop")->pixmap(Qt::ReturnByValue).toImage().pixelColor(0, 0),
             QColor(127, 127, 127));
}

void TestCompositeWindow::close_data() {
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("written");
    QTest::addColumn<bool>("titleBar");
    QTest::addColumn<int>("saves");
    QTest::addColumn<bool>("closes");
    QTest::newRow("nothing unsaved") << false << true << true << false << 0 << true;
    QTest::newRow("unsaved, yes") << true << true << true << false << 1 << true;
    QTest::newRow("unsaved, no") << true << false << true << false << 0 << true;
    // The user wanted it kept: a composite that could not be written keeps the window open.
    QTest::newRow("unsaved, yes, not written") << true << true << false << false << 1 << false;
    QTest::newRow("title bar, unsaved, yes") << true << true << true << true << 1 << true;
}

void TestCompositeWindow::close() {
    QFETCH(bool, unsaved);
    QFETCH(bool, answer);
    QFETCH(bool, written);
    QFETCH(bool, titleBar);
    QFETCH(int, saves);
    QFETCH(bool, closes);
    Window w;
    QStringList questions, messages;
    UserPrompt::setQuestionHandler([&](const QString& q) {
        questions << q;
        return answer;
    });
    UserPrompt::setMessageHandler([&](const QString& text) { messages << text; });
    int saved = 0, closed = 0;
    w.window->saveRequested = [&] {
        ++saved;
        return written;
    };
    w.window->closed = [&] { ++closed; };
    w.window->setUnsaved(unsaved);
    w.get("pushButton_9")->click();
    w.get("pushButton_11")->click();
    w.get("pushButton_19")->click();

    if (titleBar)
        w.window->close();
    else
        w.get("pushButton_2")->click();
    QCOMPARE(questions, unsaved ? QStringList{"現在の状態を保存しますか?"} : QStringList());
    QCOMPARE(saved, saves);
    QCOMPARE(messages, saves && written ? QStringList{"保存しました"} : QStringList());
    QCOMPARE(closed, closes ? 1 : 0);
    QCOMPARE(w.window->isVisible(), !closes);
    const Values stored{w.settings.rt_rLevel, w.settings.rt_gLevel, w.settings.rt_bLevel,
                        w.settings.rt_lowX,   w.settings.rt_lowY,   w.settings.rt_highX,
                        w.settings.rt_highY};
    const Values kept = closes ? Values{53, 50, 50, 10, 0, 255, 255} : valuesOf(RetouchValues());
    QCOMPARE(stored, kept);
}

void TestCompositeWindow::busyHoldsClose() {
    Window w;
    int closed = 0;
    w.window->closed = [&] { ++closed; };
    w.window->setBusy(true);
    QVERIFY(!w.get("pushButton_3")->isEnabled());
    QVERIFY(!w.get("pushButton_4")->isEnabled());
    w.get("pushButton_2")->click();
    w.window->close();
    QCOMPARE(closed, 0);
    QVERIFY(w.window->isVisible());
    w.window->setBusy(false);
    QCOMPARE(closed, 1);
    QVERIFY(!w.window->isVisible());
}

QTEST_MAIN(TestCompositeWindow)
#include "tst_compositewindow.moc"
