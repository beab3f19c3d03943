// The controller end to end on the simulated observatory: its buttons and right stick turn
// the simulated mount, judged by the commands on the controller's line and the rates its
// motors head for; a controller pulled out while held stops what it started; and the goto
// window takes the controller's other buttons and its left stick.
#include "E2eMount.h"
#include "E2eProgram.h"
#include "FakePlateSolver.h"
#include "Goto.h"
#include "MainLoop.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "ProcessState.h"
#include "SettingsRecord.h"
#include "SimGamepad.h"
#include "SimMountController.h"
#include "SimObservatory.h"
#include "SkyChart.h"
#include "UserPrompt.h"

#include <QElapsedTimer>
#include <QtTest>
#include <cmath>
#include <cstdio>

namespace {

// A hand on the scripted controller, plugged in before the program starts.
struct Hand {
    SimGamepad pad;
    Hand() { GamepadQuery::install(&pad); }
    ~Hand() { GamepadQuery::install(nullptr); }
};

GamepadState holding(std::uint16_t buttons, std::int16_t rightX = 0, std::int16_t rightY = 0) {
    GamepadState state;
    state.buttons = buttons;
    state.thumbRX = rightX;
    state.thumbRY = rightY;
    return state;
}

// The rate, in multiples of the mount's base rate (one turn in 86200 s), that the simulated
// axis heads for; negative when its counts fall.
double headingRate(E2eProgram& e2e, int axis) {
    const std::vector<SimMountCore::RateChange> changes = controller(e2e).core().rateChanges();
    for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
        if (change->axis == axis)
            return change->stepsPerSecond / (SimMountCore::countsPerRevolution / 86200.0);
    }
    return 0;
}

bool tracking(E2eProgram& e2e) {
    return std::abs(headingRate(e2e, 0) - 1) < 0.05;
}

// Main-loop passes, one at a time, until the simulated controller has received `command`:
// how many ran from the one in which the controller's poll took the last queued step to the
// one that sent the command, or -1 when it never came. The poll may come just after a pass
// took the latch, so two passes are the most.
int passesUntilCommand(E2eProgram& e2e, const SimGamepad& pad, const QString& command) {
    int passes = 0;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 30000) {
        const bool polled = pad.drained();
        e2e.program().loop().mainLoopPass();
        if (polled || pad.drained())
            ++passes;
        if (controller(e2e).commands().contains(command))
            return passes;
    }
    return -1;
}

// Presses and releases on the controller: queued, polled, and taken by the next pass.
void press(E2eProgram& e2e, SimGamepad& pad, const GamepadState& state) {
    pad.play({state, GamepadState()});
    QVERIFY(e2e.runUntil([&] { return pad.drained(); }));
    e2e.program().loop().mainLoopPass();
}

} // namespace

class TestGamepad : public QObject {
    Q_OBJECT
private slots:
    void mountFromTheController();
    void unpluggedWhileHeld();
    void gotoWindow();
};

// Each hand in turn, on one connected mount: the motion command on the line, the rate the
// axis heads for, and RA tracking again once the hand lets go.
void TestGamepad::mountFromTheController() {
    Hand hand;
    E2eProgram e2e;
    QVERIFY(connectMount(e2e));
    const GamepadState rest;
    const struct Move {
        const char* what;
        GamepadState hand;
        const char* command; // the first that tells the motion on the line
        int axis;
        double rate; // what the axis heads for right after the command
        bool thenTracking;
    } moves[] = {
        {"B held", holding(GamepadButton::B), ":G130", 0, 800, false},
        {"B released", rest, ":K1", 0, 0, true},
        {"X held", holding(GamepadButton::X), ":G131", 0, 800, false},
        {"X released", rest, ":K1", 0, 0, true},
        {"Y held", holding(GamepadButton::Y), ":G230", 1, 800, false},
        {"Y released", rest, ":K2", 1, 0, true},
        {"A held", holding(GamepadButton::A), ":G231", 1, 800, false},
        {"A released", rest, ":K2", 1, 0, true},
        {"right stick right", holding(0, 30000), ":G110", 0, 64, false},
        {"right stick centred", rest, ":K1", 0, 1, true},
        {"right stick left", holding(0, -30000), ":G111", 0, 64, false},
        {"right stick centred again", rest, ":K1", 0, 1, true},
        {"right stick up", holding(0, 0, 30000), ":G210", 1, 64, false},
        {"right stick down", holding(0, 0, -30000), ":G211", 1, 64, false},
        {"right stick centred on Dec", rest, ":K2", 1, 0, false},
    };
    int slowest = 0;
    for (const Move& move : moves) {
        controller(e2e).clearRecords();
        hand.pad.play(move.hand);
        const int passes = passesUntilCommand(e2e, hand.pad, move.command);
        QVERIFY2(passes > 0, move.what);
        slowest = std::max(slowest, passes);
        // The step period is a whole number of timer ticks: a fast rate comes out a little off.
        QVERIFY2(std::abs(std::abs(headingRate(e2e, move.axis)) - move.rate) <= 0.1 * move.rate,
                 qPrintable(QString("%1: %2").arg(move.what).arg(headingRate(e2e, move.axis))));
        if (move.thenTracking)
            QVERIFY2(e2e.runUntil([&] { return tracking(e2e); }), move.what);
    }
    std::printf("GamepadToMount  %d main-loop passes at most after the poll\n", slowest);
    QVERIFY(slowest <= 2);
    QVERIFY(e2e.log.contains("XOn"));
    QVERIFY(e2e.messages.isEmpty());
}

// The cable pulled out with B held: the RA slew stops on the passes after the first poll that
// finds no controller. Put back with B still held, the slew starts again.
void TestGamepad::unpluggedWhileHeld() {
    Hand hand;
    E2eProgram e2e;
    QVERIFY(connectMount(e2e));
    hand.pad.play(holding(GamepadButton::B));
    QVERIFY(passesUntilCommand(e2e, hand.pad, ":G130") > 0);

    controller(e2e).clearRecords();
    hand.pad.setPluggedIn(false);
    const int passes = passesUntilCommand(e2e, hand.pad, ":K1");
    QVERIFY2(passes > 0 && passes <= 2, qPrintable(QString::number(passes)));
    QVERIFY(e2e.log.contains("joystick disconnect"));
    QVERIFY(e2e.runUntil([&] { return tracking(e2e); }));

    controller(e2e).clearRecords();
    hand.pad.setPluggedIn(true);
    QVERIFY(passesUntilCommand(e2e, hand.pad, ":G130") > 0);
    QVERIFY(e2e.log.contains("joystick connect"));
}

// With the goto window open the D-pad, thumbs, shoulders and left stick are its own: the main
// window hears none of them.
void TestGamepad::gotoWindow() {
    Hand hand;
    E2eProgram e2e;
    installFakePlateSolver(e2e.driveRoot());
    UserPrompt::setQuestionHandler([&](const QString& question) {
        e2e.messages << question;
        return false;
    });
    QVERIFY(connectMount(e2e));
    QVERIFY(e2e.press("pushButton_58"));
    Goto* window = e2e.window().gotoWindowOpen();
    QVERIFY(window && window->chart());
    const int level = window->chart()->zoomLevel();
    const int gain = e2e.settings().gain;

    press(e2e, hand.pad, holding(GamepadButton::RightThumb));
    QCOMPARE(window->chart()->zoomLevel(), level + 1);
    press(e2e, hand.pad, holding(GamepadButton::LeftThumb));
    QCOMPARE(window->chart()->zoomLevel(), level);
    const double dec = window->actions().centerDec;
    press(e2e, hand.pad, holding(GamepadButton::DpadUp));
    QVERIFY(window->actions().centerDec != dec);
    QCOMPARE(e2e.settings().gain, gain); // the main window's D-pad up is gain +1

    // The left stick pans a step a poll while it is pushed, and no more once it is let go.
    const double ra = window->actions().centerRa;
    GamepadState pushed;
    pushed.thumbLX = 32767;
    hand.pad.play(pushed);
    QVERIFY(e2e.runUntil([&] { return window->actions().centerRa != ra; }));
    hand.pad.play(GamepadState());
    QVERIFY(e2e.runUntil([&] { return hand.pad.drained(); }));
    e2e.program().loop().mainLoopPass();
    const double letGo = window->actions().centerRa;
    hand.pad.play({GamepadState(), GamepadState()}); // two more polls at rest
    QVERIFY(e2e.runUntil([&] { return hand.pad.drained(); }));
    e2e.program().loop().mainLoopPass();
    QCOMPARE(window->actions().centerRa, letGo);

    press(e2e, hand.pad, holding(GamepadButton::RightShoulder));
    QCOMPARE(e2e.messages, QStringList{QStringLiteral("撮影焦点距離400mmです、続行しますか?")});
    press(e2e, hand.pad, holding(GamepadButton::LeftShoulder));
    QVERIFY(e2e.runUntil([&] { return !e2e.window().gotoWindowOpen(); }));
    QVERIFY(!e2e.state().gotoOpen);
    QCOMPARE(e2e.settings().gain, gain);
}

QTEST_MAIN(TestGamepad)
#include "tst_gamepad.moc"
