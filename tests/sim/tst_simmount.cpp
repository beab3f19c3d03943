// The simulated mount's motor controller: its motion against worked figures, its replies
// and refusals.
#include "SimMountCore.h"

#include <QtTest>

namespace {

const std::int64_t centre = 0x800000;

// Runs the commands at one instant and gives the last reply.
QByteArray run(SimMountCore& mount, const QStringList& commands, std::int64_t nowMs = 0) {
    QByteArray reply;
    for (const QString& command : commands)
        reply = mount.take(command.toLatin1(), nowMs);
    return reply;
}

std::int64_t offset(const SimMountCore& mount, std::int64_t nowMs) {
    return std::int64_t(mount.count(0, nowMs)) - centre;
}

} // namespace

class TestSimMount : public QObject {
    Q_OBJECT
private slots:
    void replies_data();
    void replies();
    void trackingForAnHour_data();
    void trackingForAnHour();
    void gotoLandsExactly_data();
    void gotoLandsExactly();
    void stopRampsDown_data();
    void stopRampsDown();
};

void TestSimMount::replies_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("reply");
    const QStringList none;
    const QStringList tracking = {":G110", ":J1"};

    QTest::newRow("board version") << none << ":e1" << QByteArray("=020203\r");
    QTest::newRow("counts per turn") << none << ":a2" << QByteArray("=00B289\r");
    QTest::newRow("timer frequency") << none << ":b1" << QByteArray("=A7FD00\r");
    QTest::newRow("high-speed ratio") << none << ":g2" << QByteArray("=10\r");
    QTest::newRow("fresh position") << none << ":j2" << QByteArray("=000080\r");
    QTest::newRow("lower-case hex") << QStringList{":E1abcd12"} << ":j1" << QByteArray("=ABCD12\r");
    QTest::newRow("position set while running")
        << (tracking + QStringList{":E1563412"}) << ":j1" << QByteArray("=563412\r");

    QTest::newRow("unknown letter") << none << ":x1" << QByteArray("!0\r");
    QTest::newRow("read of both channels") << none << ":j3" << QByteArray("!0\r");
    QTest::newRow("no channel") << none << ":j" << QByteArray("!1\r");
    QTest::newRow("five-digit period") << none << ":I16C020" << QByteArray("!1\r");
    QTest::newRow("not hex") << none << ":E1000G80" << QByteArray("!3\r");
    QTest::newRow("mode change while running") << tracking << ":G130" << QByteArray("!2\r");
    QTest::newRow("mode change while braking")
        << (tracking + QStringList{":K1"}) << ":G100" << QByteArray("!2\r");

    // Status digits: bit 0 initialised, 4 running, 8 slew mode, 9 reverse, 10 high speed.
    QTest::newRow("power-on: slew mode") << none << ":f1" << QByteArray("=100\r");
    QTest::newRow("initialised") << QStringList{":F3"} << ":f2" << QByteArray("=101\r");
    QTest::newRow("high-speed goto") << QStringList{":G100"} << ":f1" << QByteArray("=400\r");
    QTest::newRow("low-speed slew, reverse")
        << QStringList{":G111"} << ":f1" << QByteArray("=300\r");
    QTest::newRow("high-speed slew, reverse")
        << QStringList{":G131"} << ":f1" << QByteArray("=700\r");
    QTest::newRow("tracking") << (QStringList{":F1"} + tracking) << ":f1" << QByteArray("=111\r");
    QTest::newRow("braking still runs")
        << (tracking + QStringList{":K1"}) << ":f1" << QByteArray("=110\r");
}

// The reply to the row's command after the commands before it, all at one instant.
void TestSimMount::replies() {
    QFETCH(QStringList, before);
    QFETCH(QString, command);
    QFETCH(QByteArray, reply);
    SimMountCore mount;
    run(mount, before);
    QCOMPARE(mount.take(command.toLatin1(), 0), reply);
}

void TestSimMount::trackingForAnHour_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("halfway");
    QTest::addColumn<qint64>("steps");
    // 64935 / 620 steps a second for 3600 s.
    QTest::newRow("forward") << ":G110" << QStringList() << qint64(377042);
    QTest::newRow("reverse") << ":G111" << QStringList() << qint64(-377042);
    // As a guide pulse does: the period halved at once, then twice the rate for 1800 s.
    QTest::newRow("period halved halfway")
        << ":G110" << QStringList{":I1360100", ":J1"} << qint64(565563);
}

void TestSimMount::trackingForAnHour() {
    QFETCH(QString, mode);
    QFETCH(QStringList, halfway);
    QFETCH(qint64, steps);
    SimMountCore mount;
    run(mount, {mode, ":I16C0200", ":J1"});
    run(mount, halfway, 1800 * 1000);
    const std::int64_t hour = 3600 * 1000;
    QVERIFY2(qAbs(offset(mount, hour) - steps) <= 1,
             qPrintable(QString::number(offset(mount, hour))));
    QVERIFY(mount.running(0, hour));
    QCOMPARE(mount.count(1, hour), std::uint32_t(centre));
    QVERIFY(qAbs(mount.degrees(0, hour) - steps * 360.0 / 9024000) < 1e-4);
}

void TestSimMount::gotoLandsExactly_data() {
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<qint64>("steps");
    QTest::addColumn<qint64>("durationMs");
    // 20 degrees, 501333 steps, at 3.4 degrees a second with a second's ramp at each end.
    QTest::newRow("20 degrees at high speed")
        << QStringList{":G100", ":H155A607", ":J1"} << qint64(501333) << qint64(6882);
    // 1000 steps at 64935 / 620 steps a second, ramps included.
    QTest::newRow("1000 steps back at low speed")
        << QStringList{":G121", ":I16C0200", ":H1E80300", ":J1"} << qint64(-1000) << qint64(10548);
    // Too short for full speed: up and down in 2 * sqrt(100 / 85226.7) s.
    QTest::newRow("100 steps at high speed")
        << QStringList{":G100", ":H1640000", ":J1"} << qint64(100) << qint64(69);
}

void TestSimMount::gotoLandsExactly() {
    QFETCH(QStringList, commands);
    QFETCH(qint64, steps);
    QFETCH(qint64, durationMs);
    SimMountCore mount;
    run(mount, commands);
    std::int64_t stoppedAt = -1;
    std::int64_t last = 0;
    for (std::int64_t t = 0; t <= durationMs * 2 + 100; t += 1) {
        const std::int64_t now = offset(mount, t);
        QVERIFY2(qAbs(now) >= qAbs(last) && qAbs(now) <= qAbs(steps),
                 qPrintable(QString::number(t)));
        if (now != steps)
            QVERIFY2(mount.running(0, t), qPrintable(QString::number(t)));
        if (stoppedAt < 0 && !mount.running(0, t))
            stoppedAt = t;
        last = now;
    }
    QCOMPARE(last, steps);
    QVERIFY2(qAbs(stoppedAt - durationMs) <= durationMs / 50 + 2,
             qPrintable(QString::number(stoppedAt)));
}

void TestSimMount::stopRampsDown_data() {
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<qint64>("stopAtMs");
    QTest::addColumn<qint64>("landing");
    QTest::addColumn<qint64>("tolerance");
    // 104.73 steps a second for 10 s and half a second more while braking.
    QTest::newRow("tracking") << QStringList{":G110", ":I16C0200", ":J1"} << qint64(10000)
                              << qint64(1099) << qint64(1);
    // 16 times faster, with half a second lost ramping up and half gained braking.
    QTest::newRow("high-speed slew")
        << QStringList{":G130", ":I16C0200", ":J1"} << qint64(10000) << qint64(16757) << qint64(1);
    // 85226.7 steps a second: the second's ramp up and the second's braking make up for each
    // other, so three seconds' worth.
    QTest::newRow("goto at full speed")
        << QStringList{":G100", ":H155A607", ":J1"} << qint64(3000) << qint64(255680) << qint64(1);
    QTest::newRow("goto already slowing down")
        << QStringList{":G100", ":H155A607", ":J1"} << qint64(6500) << qint64(501333) << qint64(0);
}

void TestSimMount::stopRampsDown() {
    QFETCH(QStringList, commands);
    QFETCH(qint64, stopAtMs);
    QFETCH(qint64, landing);
    QFETCH(qint64, tolerance);
    SimMountCore mount;
    run(mount, commands);
    QCOMPARE(mount.take(":K1", stopAtMs), QByteArray("=\r"));
    QVERIFY(mount.running(0, stopAtMs + 100));
    QVERIFY(!mount.running(0, stopAtMs + 1100));
    const std::int64_t landed = offset(mount, stopAtMs + 5000);
    QVERIFY2(qAbs(landed - landing) <= tolerance, qPrintable(QString::number(landed)));
}

QTEST_GUILESS_MAIN(TestSimMount)
#include "tst_simmount.moc"
