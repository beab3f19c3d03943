// The touch labels as a finger and the system's mouse use them: the motor dialog's pads on a
// mount that answers from a script, the pinch on the chart and on the live view, and the
// live view's drag turned into offsets on the sky.
#include "LiveTouchMove.h"
#include "Motor.h"
#include "MountControl.h"
#include "ProcessState.h"
#include "SettingsRecord.h"
#include "StandingController.h"
#include "TouchLabel.h"
#include "TouchPanelGoto.h"
#include "TouchPanelLiveView.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <cmath>
#include <memory>

namespace {

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

// Two fingers 100 pixels apart about the centre, spreading to each distance in turn.
void pinch(QWidget* widget, const QVector<int>& distances) {
    const QPoint centre(300, 300);
    const auto at = [&](int apart, int side) { return centre + QPoint(side * apart / 2, 0); };
    QTest::touchEvent(widget, touchScreen())
        .press(0, at(100, -1), widget)
        .press(1, at(100, 1), widget);
    for (int apart : distances)
        QTest::touchEvent(widget, touchScreen())
            .move(0, at(apart, -1), widget)
            .move(1, at(apart, 1), widget);
    const int last = distances.last();
    QTest::touchEvent(widget, touchScreen())
        .release(0, at(last, -1), widget)
        .release(1, at(last, 1), widget);
}

} // namespace

Q_DECLARE_METATYPE(Ending)

class TestTouchLabels : public QObject {
    Q_OBJECT
private slots:
    void motorPads_data();
    void motorPads();
    void pinchZoomsTheChart();
    void twoFingersPinch();
    void skyOffsets_data();
    void skyOffsets();
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
    StandingController controller;
    MountControl mount(controller, settings, state.syncPointRa, state.syncPointDec, state.pierSide);
    QVERIFY(mount.initMount());
    controller.sent.clear();
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
    QStringList motion;
    for (const QString& command : controller.sent)
        if (QString("GHIJK").contains(command.at(1)))
            motion << command;
    QCOMPARE(motion, moves);
    const bool closed = ending == Ending::EscapeWhileHeld || ending == Ending::CloseButtonWhileHeld;
    if (closed)
        QTRY_VERIFY(!motor);
    delete motor;
}

void TestTouchLabels::pinchZoomsTheChart() {
    TouchPanelGoto chart;
    int in = 0, out = 0;
    connect(&chart, &TouchPanelGoto::zoomIn, [&] { ++in; });
    connect(&chart, &TouchPanelGoto::zoomOut, [&] { ++out; });
    // The pinch's total scale factors as the gesture reports them.
    const struct {
        double factor;
        bool finished;
        int in, out;
    } steps[] = {{1.0, false, 0, 0},  {1.15, false, 1, 0}, {1.3, false, 2, 0},  {1.35, true, 2, 0},
                 {1.15, false, 3, 0}, {1.15, true, 3, 0},  {0.85, false, 3, 1}, {0.8, true, 3, 1}};
    for (const auto& step : steps) {
        emit chart.pinched(step.factor, step.finished);
        QCOMPARE(in, step.in);
        QCOMPARE(out, step.out);
    }
}

void TestTouchLabels::twoFingersPinch() {
    const auto shown = [](TouchLabel& label) {
        label.resize(600, 600);
        label.show();
        return QTest::qWaitForWindowExposed(&label);
    };
    {
        TouchPanelGoto chart;
        QVERIFY(shown(chart));
        int in = 0;
        connect(&chart, &TouchPanelGoto::zoomIn, [&] { ++in; });
        pinch(&chart, {115, 130});
        QVERIFY(in >= 2);
    }
    TouchPanelLiveView view;
    QVERIFY(shown(view));
    int in = 0, drags = 0;
    connect(&view, &TouchPanelLiveView::zoomIn, [&] { ++in; });
    connect(&view, &TouchPanelLiveView::dragged, [&] { ++drags; });
    pinch(&view, {115, 130});
    // The live view zooms once, when the fingers lift; and they move no telescope.
    QCOMPARE(in, 1);
    QCOMPARE(drags, 0);
}

void TestTouchLabels::skyOffsets_data() {
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::addColumn<int>("displayRotation");
    QTest::addColumn<double>("ra");
    QTest::addColumn<double>("dec");
    // A north-up camera as the solver gives it (180); degrees per pixel 0.01.
    QTest::newRow("down only: Dec alone") << 0 << 5 << 0 << 0.0 << -0.05;
    QTest::newRow("across only: RA alone") << -10 << 0 << 0 << 0.1 << 0.0;
    QTest::newRow("across, view turned once: Dec alone") << -10 << 0 << 1 << 0.0 << -0.1;
    QTest::newRow("view turned twice") << -10 << 5 << 2 << -0.1 << 0.05;
    QTest::newRow("view turned three times") << -10 << 5 << 3 << 0.05 << 0.1;
}

void TestTouchLabels::skyOffsets() {
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(int, displayRotation);
    QFETCH(double, ra);
    QFETCH(double, dec);
    for (int cameraRotation = 0; cameraRotation < 4; ++cameraRotation) {
        // The solver's rotation of a camera turned by quarter turns.
        const double imageRote = 180 - 90 * cameraRotation;
        const LiveTouchMove::Offsets o =
            LiveTouchMove::skyOffsets(dx, dy, imageRote, cameraRotation, displayRotation, 0.01);
        QVERIFY(std::fabs(o.ra - ra) < 1e-9 && std::fabs(o.dec - dec) < 1e-9);
        QVERIFY((o.ra == 0) == (ra == 0) && (o.dec == 0) == (dec == 0));
    }
    // On the sky, RA is a turn of the axis times cos Dec.
    QCOMPARE(LiveTouchMove::raAxisDegrees(0.5, 60), 1.0);
    QVERIFY(std::isfinite(LiveTouchMove::raAxisDegrees(0.5, 90)));
}

QTEST_MAIN(TestTouchLabels)
#include "tst_touchlabels.moc"
