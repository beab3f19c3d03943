// The focuser dialog on the simulated focuser: opening, moves and their counter, the limits,
// the choices it keeps, a focuser that fails, and how often an idle dialog talks to it.
#include "AccessoryLibraries.h"
#include "Clock.h"
#include "FocuserService.h"
#include "LayoutFaults.h"
#include "LogRecorder.h"
#include "MainLoop.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "SimEafLibrary.h"
#include "SimFocuser.h"
#include "UserPrompt.h"
#include "eaf.h"

#include <QLCDNumber>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

// The library of a focuser that is listed but will not open.
class UnopenableEaf : public SimEafLibrary {
public:
    using SimEafLibrary::SimEafLibrary;
    int open(int) override { return ErrorState; }
};

// The program's side of the dialog: a main window, the main loop and the simulated focuser.
struct Bench {
    SettingsRecord settings;
    SimFocuser focuser;
    std::unique_ptr<SimEafLibrary> library;
    MainLoop loop;
    QWidget mainWindow;
    FocuserService service{settings, loop};
    QStringList messages;

    explicit Bench(bool opens = true)
        : library(opens ? std::make_unique<SimEafLibrary>(&focuser)
                        : std::make_unique<UnopenableEaf>(&focuser)) {
        settings.setDefaults();
        AccessoryLibraries::install(library.get(), nullptr, nullptr);
        UserPrompt::setMessageHandler([this](const QString& text) { messages << text; });
        mainWindow.move(40, 30);
    }
    ~Bench() {
        UserPrompt::setMessageHandler(nullptr);
        AccessoryLibraries::reset();
    }

    QPushButton* button(const char* name) {
        return service.dialog()->findChild<QPushButton*>(name);
    }
    void press(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    int counter() { return service.dialog()->findChild<QLCDNumber*>("lcdNumber")->intValue(); }
    int reported() { return focuser.reportedPosition(Clock::nowMs()); }
    bool moving() { return focuser.isMoving(Clock::nowMs()); }
    void runFor(int clockMs) {
        const std::int64_t end = Clock::nowMs() + clockMs;
        while (Clock::nowMs() < end)
            loop.mainLoopPass();
    }
    void runUntilStill() {
        runFor(50);
        for (int pass = 0; pass < 2000 && moving(); ++pass)
            loop.mainLoopPass();
        runFor(300); // the last poll of the move
    }
};

// The colour most of the button is painted in.
QColor background(QPushButton* button) {
    const QImage image = button->grab().toImage();
    QMap<QRgb, int> area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++area[image.pixel(x, y)];
    QRgb most = 0;
    for (auto it = area.cbegin(); it != area.cend(); ++it)
        if (it.value() > area.value(most))
            most = it.key();
    return QColor(most);
}

} // namespace

class TestFocuser : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Clock::setScale(40); }
    void opening();
    void moves_data();
    void moves();
    void continuousPressStops();
    void noFocuser();
    void openFailure();
    void choices();
    void removedWhileOpen();
    void idleCallRate();
};

void TestFocuser::opening() {
    Bench bench;
    bench.focuser.relabel(12345, Clock::nowMs());
    LogRecorder log;
    bench.service.open(&bench.mainWindow);
    eaf* dialog = bench.service.dialog();
    QVERIFY(dialog && dialog->isVisible());
    const QStringList expected = {
        "attached focuser",           "index 0: EAF",        "eafId = 0",
        "EAF temperatur=8.5",         "EAF Max step: 60000", "EAF current position: 12345",
        "EAF current position: 30000"};
    QCOMPARE(log.lines(), expected);
    QCOMPARE(bench.reported(), 30000);
    QCOMPARE(bench.counter(), 0);
    QCOMPARE(dialog->windowTitle(), QString("EAF"));
    QCOMPARE(dialog->size(), QSize(320, 590));
    QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(dialog->pos(), bench.mainWindow.pos() + QPoint(860, 100));
    QCOMPARE(layoutFaults(dialog), QStringList());
    saveScreenshot(dialog, "FocuserDialog");

    // Open already: the button does nothing.
    bench.service.open(&bench.mainWindow);
    QCOMPARE(bench.service.dialog(), dialog);
    QVERIFY(bench.loop.focuserStep);
    bench.press("pushButton_3");
    bench.runFor(50);
    QVERIFY(!bench.service.dialog());
    QVERIFY(!bench.loop.focuserStep);
}

void TestFocuser::moves_data() {
    QTest::addColumn<int>("eafRev");
    QTest::addColumn<int>("eafPos");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("counter");
    QTest::newRow("+ OUT 100") << 0 << 3 << "pushButton_2" << 30100 << 100;
    QTest::newRow("- IN 100") << 1 << 3 << "pushButton" << 30100 << -100;
    QTest::newRow("+ IN 50") << 0 << 2 << "pushButton" << 29950 << -50;
    QTest::newRow("- OUT 5") << 1 << 0 << "pushButton_2" << 29995 << 5;
}

void TestFocuser::moves() {
    QFETCH(int, eafRev);
    QFETCH(int, eafPos);
    QFETCH(QString, button);
    QFETCH(int, position);
    QFETCH(int, counter);
    Bench bench;
    bench.settings.eafRev = eafRev;
    bench.settings.eafPos = eafPos;
    bench.service.open(&bench.mainWindow);
    bench.press(qPrintable(button));
    bench.runUntilStill();
    QCOMPARE(bench.reported(), position);
    QCOMPARE(bench.counter(), counter);
    QCOMPARE(bench.focuser.physicalPosition(), position);

    // "リセット" relabels the focuser where it stands.
    bench.press("pushButton_10");
    QCOMPARE(bench.counter(), 0);
    QCOMPARE(bench.reported(), 30000);
    QCOMPARE(bench.focuser.physicalPosition(), position);
}

void TestFocuser::continuousPressStops() {
    Bench bench;
    bench.settings.eafPos = 4;
    bench.settings.eafx100 = 1;
    bench.service.open(&bench.mainWindow);
    LogRecorder log;
    // 50000 × 100 steps out ends at the focuser's last step.
    bench.press("pushButton_2");
    bench.runFor(2000);
    QVERIFY(bench.moving());
    bench.press("pushButton_2");
    QVERIFY(!bench.moving());
    const int stoppedAt = bench.reported();
    QVERIFY(stoppedAt > 30000 && stoppedAt < SimFocuser::maxStep);
    QCOMPARE(bench.counter(), stoppedAt - 30000);
    bench.runFor(1000);
    QCOMPARE(bench.reported(), stoppedAt);

    bench.press("pushButton_2");
    bench.runUntilStill();
    QCOMPARE(bench.reported(), SimFocuser::maxStep);
    QCOMPARE(bench.counter(), SimFocuser::maxStep - 30000);
    // "IN" goes down to step 0; no command was refused on the way.
    bench.press("pushButton");
    bench.runUntilStill();
    QCOMPARE(bench.reported(), 0);
    QCOMPARE(bench.counter(), -30000);
    QVERIFY2(log.lines().filter("error").isEmpty(), qPrintable(log.lines().join('\n')));
}

void TestFocuser::noFocuser() {
    Bench bench;
    bench.focuser.setRemoved(true);
    LogRecorder log;
    bench.service.open(&bench.mainWindow);
    QVERIFY(!bench.service.dialog());
    QVERIFY(!bench.loop.focuserStep);
    QCOMPARE(bench.messages, QStringList{QStringLiteral("EAFを接続してください")});
    QVERIFY(log.contains("no focuser connected"));

    bench.focuser.setRemoved(false);
    bench.service.open(&bench.mainWindow);
    QVERIFY(bench.service.dialog() && bench.service.dialog()->isVisible());
    QCOMPARE(bench.messages.size(), 1);
}

void TestFocuser::openFailure() {
    Bench bench(false);
    LogRecorder log;
    bench.service.open(&bench.mainWindow);
    QVERIFY(bench.service.dialog() && bench.service.dialog()->isVisible());
    QVERIFY(log.contains("EAF open error"));
    QVERIFY(!log.contains("EAF Max step: 60000"));
    QCOMPARE(bench.counter(), 0);
    QVERIFY(bench.messages.isEmpty());
}

void TestFocuser::choices() {
    Bench bench;
    bench.service.open(&bench.mainWindow);
    bench.press("pushButton_6");  // 50
    bench.press("pushButton_9");  // 100倍
    bench.press("pushButton_12"); // -
    QCOMPARE(bench.settings.eafPos, 2);
    QCOMPARE(bench.settings.eafx100, 1);
    QCOMPARE(bench.settings.eafRev, 1);

    // A dialog opened afresh shows the kept choices: the chosen in red, the others in blue.
    bench.press("pushButton_3");
    bench.runFor(50);
    bench.service.open(&bench.mainWindow);
    const QStringList chosen = {"pushButton_6", "pushButton_9", "pushButton_12"};
    for (const char* name : {"pushButton_4", "pushButton_5", "pushButton_6", "pushButton_7",
                             "pushButton_8", "pushButton_9", "pushButton_11", "pushButton_12"}) {
        // The style shades the colour it is given.
        const QColor colour = background(bench.button(name));
        const int hue = chosen.contains(name) ? 0 : 240;
        QVERIFY2(colour.hue() == hue && colour.saturation() > 200,
                 qPrintable(QString("%1 %2").arg(name, colour.name())));
    }
    saveScreenshot(bench.service.dialog(), "FocuserChoices");
}

void TestFocuser::removedWhileOpen() {
    Bench bench;
    bench.service.open(&bench.mainWindow);
    bench.press("pushButton_2");
    bench.runUntilStill();
    QCOMPARE(bench.counter(), 5);
    LogRecorder log;
    bench.focuser.setRemoved(true);
    bench.runFor(2000);
    QCOMPARE(log.lines(), QStringList{"EAFGetPosition error 4"});
    QCOMPARE(bench.counter(), 5);
    bench.press("pushButton_2");
    QCOMPARE(log.lines().size(), 2);
    bench.press("pushButton_3");
    bench.runFor(50);
    QVERIFY(!bench.service.dialog());
    QVERIFY(bench.messages.isEmpty());
}

void TestFocuser::idleCallRate() {
    Bench bench;
    bench.service.open(&bench.mainWindow);
    bench.runFor(200);
    const int calls = bench.focuser.callCount();
    const std::int64_t start = Clock::nowMs();
    for (int pass = 0; pass < 100; ++pass)
        bench.loop.mainLoopPass();
    const double seconds = (Clock::nowMs() - start) / 1000.0;
    const int made = bench.focuser.callCount() - calls;
    QVERIFY2(made <= 10 * seconds, qPrintable(QString("%1 calls in %2 s").arg(made).arg(seconds)));
}

QTEST_MAIN(TestFocuser)
#include "tst_focuser.moc"
