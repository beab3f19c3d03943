// The touch labels as a finger and the system's mouse use them: the motor dialog's pads on a
// mount that answers from a script.
#include "Motor.h"
#include "MountControl.h"
#include "ProcessState.h"
#include "SettingsRecord.h"
#include "TouchLabel.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

// A controller standing still that answers every command; records the motion commands.
class ScriptedController : public MountChannel {
public:
    QStringList moves;
    bool sendCommand(const QByteArray& command, MountReply* reply) override {
        const char letter = command.at(1);
        reply->refused = false;
        reply->data = letter == 'a'   ? "00B289" // 9024000
                      : letter == 'b' ? "A7FD00" // 64935
                      : letter == 'g' ? "10"
                      : letter == 'f' ? "101" // standing
                                      : QByteArray("000080");
        if (QByteArray("GHIJK").contains(letter))
            moves << QString::fromLatin1(command.chopped(1));
        return true;
    }
};

QTouchDevice* touchScreen() {
    static QTouchDevice* device = QTest::createTouchDevice();
    return device;
}

// How a press on a pad ends.
enum class Ending {
    TouchThenMouse, // the finger lifts, then the system's made-up mouse press and release
    TouchCancelled,
    EscapeWhileHeld,
    CloseButtonWhileHeld,
    StepChosenWhileHeld,
};

} // namespace

Q_DECLARE_METATYPE(Ending)

class TestTouchLabels : public QObject {
    Q_OBJECT
private slots:
    void motorPads_data();
    void motorPads();
};

void TestTouchLabels::motorPads_data() {
    QTest::addColumn<QString>("pad");
    QTest::addColumn<QString>("modeButton"); // chosen before the press, when given
    QTest::addColumn<Ending>("ending");
    QTest::addColumn<bool>("withMount");
    QTest::addColumn<QStringList>("moves");

    QTest::newRow("continuous: one start, one stop")
        << "labelEast"
        << "" << Ending::TouchThenMouse << true << QStringList{":G131", ":I10C0000", ":J1", ":K1"};
    QTest::newRow("step: the release sends nothing")
        << "labelWest"
        << "pushButtonStep1" << Ending::TouchThenMouse << true
        << QStringList{":G100", ":H1EA6100", ":J1"};
    QTest::newRow("touch cancelled")
        << "labelNorth"
        << "" << Ending::TouchCancelled << true << QStringList{":G230", ":I20C0000", ":J2", ":K2"};
    QTest::newRow("Esc while held")
        << "labelSouth"
        << "" << Ending::EscapeWhileHeld << true << QStringList{":G231", ":I20C0000", ":J2", ":K2"};
    QTest::newRow("閉じる while held") << "labelEast"
                                       << "" << Ending::CloseButtonWhileHeld << true
                                       << QStringList{":G131", ":I10C0000", ":J1", ":K1"};
    QTest::newRow("step chosen while held: the slew still stops")
        << "labelWest"
        << "" << Ending::StepChosenWhileHeld << true
        << QStringList{":G130", ":I10C0000", ":J1", ":K1"};
    QTest::newRow("no mount") << "labelEast"
                              << "" << Ending::TouchThenMouse << false << QStringList();
}

void TestTouchLabels::motorPads() {
    QFETCH(QString, pad);
    QFETCH(QString, modeButton);
    QFETCH(Ending, ending);
    QFETCH(bool, withMount);
    QFETCH(QStringList, moves);

    SettingsRecord settings;
    settings.setDefaults();
    ProcessState state;
    state.settings = &settings;
    ScriptedController controller;
    MountControl mount(controller, settings, state.syncPointRa, state.syncPointDec, state.pierSide);
    QVERIFY(mount.initMount());
    controller.moves.clear();
    state.mount = withMount ? &mount : nullptr;

    QPointer<Motor> motor(new Motor(state));
    motor->show();
    const auto click = [&](const QString& name) {
        QTest::mouseClick(motor->findChild<QPushButton*>(name), Qt::LeftButton);
    };
    if (!modeButton.isEmpty())
        click(modeButton);
    auto* label = motor->findChild<TouchLabel*>(pad);
    QVERIFY(label);
    // Touches go to the dialog's window, which finds the pad under the finger.
    const QPoint onPad = label->mapTo(motor, label->rect().center());
    const QPoint centre = label->rect().center();

    QTest::touchEvent(motor, touchScreen()).press(0, onPad, motor);
    switch (ending) {
    case Ending::TouchThenMouse:
        QTest::touchEvent(motor, touchScreen()).release(0, onPad, motor);
        QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, centre);
        QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier, centre);
        break;
    case Ending::TouchCancelled: {
        QTouchEvent cancel(QEvent::TouchCancel, touchScreen());
        QApplication::sendEvent(label, &cancel);
        break;
    }
    case Ending::EscapeWhileHeld:
        QTest::keyClick(motor, Qt::Key_Escape);
        break;
    case Ending::CloseButtonWhileHeld:
        click("pushButtonClose");
        break;
    case Ending::StepChosenWhileHeld:
        click("pushButtonStep1");
        QTest::touchEvent(motor, touchScreen()).release(0, onPad, motor);
        break;
    }
    QCOMPARE(controller.moves, moves);
    const bool closed = ending == Ending::EscapeWhileHeld || ending == Ending::CloseButtonWhileHeld;
    if (closed)
        QTRY_VERIFY(!motor);
    delete motor;
}

QTEST_MAIN(TestTouchLabels)
#include "tst_touchlabels.moc"
