// The controller's latch, fed scripted answers, and the SDL binding's translation into the
// controller record.
#include "GamepadFlags.h"
#include "LogRecorder.h"
#include "SdlGamepadQuery.h"

#include <QtTest>

namespace {

// One answer of the controller in a script: a packet with its button word, or none.
struct Answer {
    bool answered;
    std::uint32_t packet;
    std::uint16_t buttons;
};

constexpr Answer gone{false, 0, 0};

} // namespace

Q_DECLARE_METATYPE(QVector<Answer>)
Q_DECLARE_METATYPE(SdlControllerReading)

class TestGamepadFlags : public QObject {
    Q_OBJECT
private slots:
    void stickCodes_data();
    void stickCodes();
    void triggers_data();
    void triggers();
    void buttons_data();
    void buttons();
    void lostControllerLetsGo();
    void sdlMapping_data();
    void sdlMapping();
    void sdlWithoutAPad_data();
    void sdlWithoutAPad();
};

void TestGamepadFlags::stickCodes_data() {
    QTest::addColumn<int>("stick");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("code");
    QTest::newRow("right X at +20000") << int(GamepadEvents::RightX) << 20000 << 0;
    QTest::newRow("right X at +20001") << int(GamepadEvents::RightX) << 20001 << 1;
    QTest::newRow("right X at -20000") << int(GamepadEvents::RightX) << -20000 << 0;
    QTest::newRow("right X at -20001") << int(GamepadEvents::RightX) << -20001 << 3;
    QTest::newRow("right Y up") << int(GamepadEvents::RightY) << 20001 << 5;
    QTest::newRow("right Y down") << int(GamepadEvents::RightY) << -20001 << 7;
    QTest::newRow("left X left") << int(GamepadEvents::LeftX) << -32768 << 3;
    QTest::newRow("left Y up") << int(GamepadEvents::LeftY) << 32767 << 5;
}

void TestGamepadFlags::stickCodes() {
    QFETCH(int, stick);
    QFETCH(int, value);
    QFETCH(int, code);
    GamepadState state;
    state.packetNumber = 1;
    std::int16_t* axes[] = {&state.thumbRX, &state.thumbRY, &state.thumbLX, &state.thumbLY};
    *axes[stick] = std::int16_t(value);
    GamepadFlags flags;
    flags.latch(true, state);
    const GamepadEvents events = flags.take();
    for (int other = 0; other < 4; ++other) {
        QCOMPARE(events.stick[other], other == stick ? code : 0);
        QCOMPARE(events.stickChanged[other], other == stick && code != 0);
    }
}

void TestGamepadFlags::triggers_data() {
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::addColumn<bool>("leftPressed");
    QTest::addColumn<bool>("rightPressed");
    QTest::newRow("200 is not pressed") << 200 << 200 << false << false;
    QTest::newRow("201 is") << 201 << 0 << true << false;
    QTest::newRow("right full") << 0 << 255 << false << true;
}

void TestGamepadFlags::triggers() {
    QFETCH(int, left);
    QFETCH(int, right);
    QFETCH(bool, leftPressed);
    QFETCH(bool, rightPressed);
    GamepadState state;
    state.packetNumber = 1;
    state.leftTrigger = std::uint8_t(left);
    state.rightTrigger = std::uint8_t(right);
    GamepadFlags flags;
    flags.latch(true, state);
    const GamepadEvents events = flags.take();
    QCOMPARE(events.triggerPressed[GamepadEvents::LeftTrigger], leftPressed);
    QCOMPARE(events.triggerPressed[GamepadEvents::RightTrigger], rightPressed);
}

void TestGamepadFlags::buttons_data() {
    QTest::addColumn<QVector<Answer>>("answers");
    QTest::addColumn<QStringList>("log");
    const std::uint16_t a = GamepadButton::A, b = GamepadButton::B, x = GamepadButton::X,
                        y = GamepadButton::Y;
    QTest::newRow("X and B together") << QVector<Answer>{{true, 1, b},
                                                         {true, 2, std::uint16_t(b | x)},
                                                         {true, 3, x},
                                                         {true, 4, 0}}
                                      << QStringList{"XOn", "XOff"};
    QTest::newRow("A and Y together")
        << QVector<Answer>{{true, 1, std::uint16_t(a | y)}, {true, 2, a}, {true, 3, 0}}
        << QStringList{"YOn", "YOff"};
    QTest::newRow("Button Change only with a low bit")
        << QVector<Answer>{{true, 1, b}, {true, 2, std::uint16_t(b | 0x0001)}, {true, 3, b}}
        << QStringList{"XOn", "Button Change 8193"};
    QTest::newRow("a repeated packet changes nothing")
        << QVector<Answer>{{true, 1, 0x0001}, {true, 1, y}, {true, 1, 0}, {true, 2, 0x0002}}
        << QStringList{"Button Change 1", "Button Change 2"};
    QTest::newRow("every button at once")
        << QVector<Answer>{{true, 1, 0xFFFF}, {true, 2, 0}}
        << QStringList{"Button Change 65535", "XOn", "YOn", "XOff", "YOff"};
    QTest::newRow("lost while B held, then back")
        << QVector<Answer>{{true, 7, b}, gone, gone, {true, 7, b}}
        << QStringList{"XOn", "joystick disconnect", "XOff", "joystick connect", "XOn"};
}

void TestGamepadFlags::buttons() {
    QFETCH(QVector<Answer>, answers);
    QFETCH(QStringList, log);
    LogRecorder recorder;
    GamepadFlags flags;
    for (const Answer& answer : answers) {
        GamepadState state;
        state.packetNumber = answer.packet;
        state.buttons = answer.buttons;
        flags.latch(answer.answered, state);
    }
    QCOMPARE(recorder.lines(), log);
}

// A controller gone with a button held and the right stick pushed: the main loop is told to
// stop both, once.
void TestGamepadFlags::lostControllerLetsGo() {
    GamepadFlags flags;
    GamepadState held;
    held.packetNumber = 1;
    held.buttons = GamepadButton::B;
    held.thumbRY = -30000;
    flags.latch(true, held);
    QVERIFY(flags.take().xOn);
    QVERIFY(flags.latch(false, GamepadState()));
    QVERIFY(!flags.latch(false, GamepadState())); // still gone: nothing new
    const GamepadEvents events = flags.take();
    QVERIFY(events.xOff);
    QCOMPARE(events.held, std::uint16_t(0));
    QCOMPARE(events.stick[GamepadEvents::RightY], 0);
    QVERIFY(events.stickChanged[GamepadEvents::RightY]);
}

void TestGamepadFlags::sdlMapping_data() {
    QTest::addColumn<SdlControllerReading>("reading");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("leftY");
    QTest::addColumn<int>("rightY");
    QTest::addColumn<int>("leftTrigger");
    SdlControllerReading reading;
    reading.leftY = -32768;
    reading.rightY = 32767;
    reading.leftTrigger = 32767;
    QTest::newRow("full up, full down, trigger full") << reading << 0 << 32767 << -32767 << 255;
    reading = SdlControllerReading();
    reading.leftTrigger = 16384;
    reading.buttons = 1u << 0 | 1u << 3 | 1u << 5 | 1u << 11 | 1u << 14;
    QTest::newRow("A, Y, GUIDE, D-pad up and right")
        << reading
        << int(GamepadButton::A | GamepadButton::Y | GamepadButton::DpadUp |
               GamepadButton::DpadRight)
        << 0 << 0 << 127;
}

void TestGamepadFlags::sdlMapping() {
    QFETCH(SdlControllerReading, reading);
    QFETCH(int, buttons);
    QFETCH(int, leftY);
    QFETCH(int, rightY);
    QFETCH(int, leftTrigger);
    const GamepadState state = SdlGamepadQuery::toGamepadState(reading);
    QCOMPARE(int(state.buttons), buttons);
    QCOMPARE(int(state.thumbLY), leftY);
    QCOMPARE(int(state.thumbRY), rightY);
    QCOMPARE(int(state.leftTrigger), leftTrigger);
}

// The library loaded for real, or not there at all: no controller either way, and no crash.
// (The test machine has no pad.)
void TestGamepadFlags::sdlWithoutAPad_data() {
    QTest::addColumn<QString>("library");
    QTest::newRow("absent library") << "libSDL2-absent-0.0.so.0";
    QTest::newRow("installed library") << "libSDL2-2.0.so.0";
}

void TestGamepadFlags::sdlWithoutAPad() {
    QFETCH(QString, library);
    SdlGamepadQuery query(library);
    GamepadState state;
    QVERIFY(!query.getState(0, &state));
    QVERIFY(!query.getState(0, &state));
}

QTEST_GUILESS_MAIN(TestGamepadFlags)
#include "tst_gamepadflags.moc"
