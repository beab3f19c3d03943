// The capture's one-second clock, stepped by hand: the countdown of each exposure kind, the
// frames of a series, and the serial code's auxiliary counter.
#include "ProcessState.h"
#include "SettingsRecord.h"
#include "TimerThread.h"

#include <QtTest>

class TestTimerThread : public QObject {
    Q_OBJECT
private slots:
    void countdownOfEachKind_data();
    void countdownOfEachKind();
    void ticksCountDownPastZero();
    void auxiliaryCounterRunsOnlyWhenStarted();
    void rampsNeedACooler();
};

namespace {

struct Clock {
    Clock() {
        settings.setDefaults();
        settings.timMin = 2;
        settings.timSec = 5;
        settings.timRep = 7;
        settings.plateExp = 12;
        state.settings = &settings;
    }
    SettingsRecord settings;
    ProcessState state;
    TimerThread timer{state, nullptr};
};

} // namespace

void TestTimerThread::countdownOfEachKind_data() {
    QTest::addColumn<bool>("flat");
    QTest::addColumn<bool>("solve");
    QTest::addColumn<bool>("single");
    QTest::addColumn<int>("countdown");
    QTest::addColumn<int>("remaining");
    QTest::newRow("light series") << false << false << false << 125 << 7;
    QTest::newRow("one shot") << false << false << true << 125 << 1;
    QTest::newRow("flat series") << true << false << false << 1 << 7;
    QTest::newRow("solve shot") << false << true << true << 12 << 1;
}

void TestTimerThread::countdownOfEachKind() {
    QFETCH(bool, flat);
    QFETCH(bool, solve);
    QFETCH(bool, single);
    QFETCH(int, countdown);
    QFETCH(int, remaining);
    Clock c;
    c.state.flatCaptureMode = flat;
    c.state.solveShot = solve;
    c.timer.prepareSeries(single);
    QCOMPARE(c.timer.countdown(), countdown);
    QCOMPARE(c.timer.remaining(), remaining);
    // The next exposure of a series: a flat one second, any other the series' exposure.
    c.timer.setCountdown(-3);
    c.timer.resetCountdown();
    QCOMPARE(c.timer.countdown(), flat ? 1 : 125);
}

void TestTimerThread::ticksCountDownPastZero() {
    Clock c;
    c.timer.setCountdown(1);
    c.timer.tick();
    QCOMPARE(c.timer.countdown(), 0);
    c.timer.tick();
    QCOMPARE(c.timer.countdown(), -1); // a late camera: the countdown goes on below zero
}

void TestTimerThread::auxiliaryCounterRunsOnlyWhenStarted() {
    Clock c;
    c.timer.tick();
    QCOMPARE(c.timer.auxCount(), 0);
    c.timer.startAuxCount();
    for (int i = 0; i < 4; ++i)
        c.timer.tick();
    QCOMPARE(c.timer.auxCount(), 4);
    c.timer.startAuxCount(); // starting again starts from zero
    c.timer.tick();
    QCOMPARE(c.timer.auxCount(), 1);
    c.timer.stopAuxCount();
    c.timer.tick();
    QCOMPARE(c.timer.auxCount(), 0);
}

void TestTimerThread::rampsNeedACooler() {
    Clock c;
    c.settings.slowC = 3;
    c.timer.startSlowCool();
    QVERIFY(!c.timer.slowCooling());
    for (int i = 0; i < 61; ++i)
        c.timer.tick(); // no camera to step: nothing happens
    QVERIFY(!c.timer.slowWarming());
}

QTEST_GUILESS_MAIN(TestTimerThread)
#include "tst_timerthread.moc"
