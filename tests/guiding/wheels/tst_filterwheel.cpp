#include "AccessoryLibraries.h"
#include "Clock.h"
#include "FilterWheel.h"
#include "LogRecorder.h"
#include "MainWindow.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "SimFilterWheel.h"
#include "TestObservatory.h"

#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

const QColor red(Qt::red);
const QColor white(Qt::white);

// The main window's wheel buttons over the simulated wheels named in `accessories`.
struct Bench {
    explicit Bench(const QString& accessories) {
        qputenv("VESPERIX_SIM_ACCESSORIES", accessories.toUtf8());
        observatory = std::make_unique<TestObservatory>(QStringList());
        settings.setDefaults();
        state.settings = &settings;
        window = std::make_unique<MainWindow>(state);
        window->attachFilterWheel(wheel);
        window->show();
    }
    QPushButton* button(int index) {
        return window->findChild<QPushButton*>(QString("pushButton_%1").arg(46 + index));
    }
    int visibleButtons() {
        int count = 0;
        for (int index = 0; index < 9; ++index)
            count += button(index)->isVisible();
        return count;
    }
    // The colour the button's text is drawn in, as its style sheet resolves it.
    QColor textColour(int index) {
        QPushButton* widget = button(index);
        widget->ensurePolished();
        return widget->palette().color(QPalette::ButtonText);
    }
    // Only the button for the 1-based position is red.
    bool marked(int position) {
        for (int index = 0; index < 9; ++index)
            if (textColour(index) != (index + 1 == position ? red : white))
                return false;
        return true;
    }
    bool settlesAt(int index) {
        const std::int64_t deadline = Clock::nowMs() + 10000;
        while (wheel.getFilterPosition() != index) {
            if (Clock::nowMs() > deadline)
                return false;
            Clock::sleepMs(100);
        }
        return true;
    }

    LogRecorder log;
    std::unique_ptr<TestObservatory> observatory;
    SettingsRecord settings;
    ProcessState state;
    FilterWheel wheel;
    std::unique_ptr<MainWindow> window;
};

} // namespace

class TestFilterWheel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Clock::setScale(50); }
    void startUp_data();
    void startUp();
    void buttonsTurnTheWheel_data();
    void buttonsTurnTheWheel();
};

void TestFilterWheel::startUp_data() {
    QTest::addColumn<QString>("accessories");
    QTest::addColumn<int>("turnTo"); // the EFW is turning there when the program starts; -1 not
    QTest::addColumn<bool>("stuck");
    QTest::addColumn<int>("kind"); // -1 no wheel
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("position"); // 1-based, as the buttons count
    QTest::addColumn<QString>("logLine");
    QTest::addColumn<int>("minClockMs");
    QTest::newRow("both wheels") << "PW,EFW" << -1 << false << int(FilterWheel::PlayerOne) << 7 << 1
                                 << "PW count: 1" << 0;
    QTest::newRow("EFW alone") << "EFW" << -1 << false << int(FilterWheel::Efw) << 8 << 1
                               << "current position: 1" << 0;
    QTest::newRow("EFW turning") << "EFW" << 4 << false << int(FilterWheel::Efw) << 8 << 5
                                 << "current position: 5" << 1500;
    QTest::newRow("EFW stuck") << "EFW" << -1 << true << -1 << 0 << 0 << "EFW Open error"
                               << FilterWheel::efwSettleMs;
    QTest::newRow("no wheel") << "" << -1 << false << -1 << 0 << 0 << "PW count: 0" << 0;
}

void TestFilterWheel::startUp() {
    QFETCH(QString, accessories);
    QFETCH(int, turnTo);
    QFETCH(bool, stuck);
    QFETCH(int, kind);
    QFETCH(int, buttons);
    QFETCH(int, position);
    QFETCH(QString, logLine);
    QFETCH(int, minClockMs);
    Bench bench(accessories);
    if (turnTo >= 0) {
        EfwLibrary& efw = AccessoryLibraries::efw();
        int id = -1;
        efw.getId(0, &id);
        efw.open(id);
        efw.setPosition(id, turnTo);
    }
    if (stuck)
        bench.observatory->sim().efwWheel()->setStuck(true);
    const std::int64_t started = Clock::nowMs();
    bench.wheel.initFilterWheel();
    const std::int64_t took = Clock::nowMs() - started;

    QVERIFY2(bench.log.contains(logLine), qPrintable(bench.log.lines().join('\n')));
    QCOMPARE(bench.wheel.present, kind >= 0);
    QCOMPARE(bench.visibleButtons(), buttons);
    QVERIFY(took >= minClockMs);
    // A stuck wheel holds start-up no longer than the bound.
    QVERIFY(took < FilterWheel::efwSettleMs + 1000);
    if (kind < 0) {
        QCOMPARE(bench.wheel.getFilterPosition(), -1);
        bench.wheel.setFilterPosition(2);
        QCOMPARE(bench.wheel.namePosition(), -1);
        return;
    }
    QCOMPARE(int(bench.wheel.kind), kind);
    QCOMPARE(bench.wheel.getFilterPosition(), position - 1);
    QVERIFY(bench.marked(position));
    saveScreenshot(bench.window.get(), QString("FilterWheel_") + QTest::currentDataTag());
}

void TestFilterWheel::buttonsTurnTheWheel_data() {
    QTest::addColumn<QString>("accessories");
    QTest::addColumn<int>("index");
    QTest::newRow("Player One, first") << "PW" << 0;
    QTest::newRow("Player One, last slot") << "PW" << 6;
    QTest::newRow("EFW, third") << "EFW" << 2;
    QTest::newRow("EFW, last slot") << "EFW" << 7;
}

void TestFilterWheel::buttonsTurnTheWheel() {
    QFETCH(QString, accessories);
    QFETCH(int, index);
    Bench bench(accessories);
    bench.wheel.initFilterWheel();
    QTest::mouseClick(bench.button(index), Qt::LeftButton);
    QVERIFY(bench.settlesAt(index));
    QVERIFY(bench.marked(index + 1));
    QCOMPARE(bench.wheel.namePosition(), index);

    // The last button looks for the wheel again and turns it home.
    const int counted = bench.log.lines().filter("PW count:").size();
    QTest::mouseClick(bench.window->findChild<QPushButton*>("pushButton_55"), Qt::LeftButton);
    QCOMPARE(bench.log.lines().filter("PW count:").size(), counted + 1);
    QVERIFY(bench.settlesAt(0));
    QVERIFY(bench.marked(1));
}

QTEST_MAIN(TestFilterWheel)
#include "tst_filterwheel.moc"
