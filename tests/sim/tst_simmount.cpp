// The simulated mount's motor controller: its motion against worked figures, its replies
// and refusals, and on the serial line what the program reads under each fault.
#include "Clock.h"
#include "SerialPorts.h"
#include "SimMountController.h"
#include "SimMountCore.h"

#include <QRegularExpression>
#include <QtTest>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

Q_DECLARE_METATYPE(MountFault)

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

bool listed(const QString& location) {
    for (const SerialPortDescription& port : SerialPorts::available()) {
        if (port.systemLocation == location)
            return port.description == "Mount Controller" && !port.hasVendorId;
    }
    return false;
}

// The program's end of the mount's port, with plain POSIX calls and waits on the clock.
struct Line {
    int fd;
    std::int64_t firstByteMs = -1;

    explicit Line(const QString& path)
        : fd(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
    ~Line() {
        if (fd >= 0)
            ::close(fd);
    }

    bool send(const QByteArray& bytes) {
        firstByteMs = -1;
        return ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    // Reads until the bytes match `until` whole or `windowMs` of clock pass, then for a
    // further `quietMs` to catch whatever follows.
    QByteArray read(const QRegularExpression& until, std::int64_t windowMs, std::int64_t quietMs) {
        QByteArray got;
        std::int64_t end = Clock::nowMs() + windowMs;
        bool matched = false;
        for (;;) {
            if (!matched && !got.isEmpty() && until.match(QString::fromLatin1(got)).hasMatch()) {
                matched = true;
                end = Clock::nowMs() + quietMs;
            }
            const std::int64_t left = end - Clock::nowMs();
            if (left <= 0)
                return got;
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, int(Clock::realMs(left))) != 1)
                continue;
            char buffer[64];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                return got;
            if (firstByteMs < 0)
                firstByteMs = Clock::nowMs();
            got.append(buffer, int(n));
        }
    }
};

QRegularExpression whole(const QString& pattern) {
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern));
}

} // namespace

class TestSimMount : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void replies_data();
    void replies();
    void trackingForAnHour_data();
    void trackingForAnHour();
    void gotoLandsExactly_data();
    void gotoLandsExactly();
    void stopRampsDown_data();
    void stopRampsDown();
    void faultsOnTheLine_data();
    void faultsOnTheLine();
    void unplugClosesThePort();
    void unreadRepliesDoNotStall();
};

void TestSimMount::initTestCase() {
    // Before any controller's thread reads the clock: the faults wait seconds of it.
    Clock::setScale(50);
}

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
    QTest::newRow("mode change after tracking stopped")
        << (tracking + QStringList{":K1"}) << ":G100" << QByteArray("=\r");

    // Status digits: bit 0 initialised, 4 running, 8 slew mode, 9 reverse, 10 high speed.
    QTest::newRow("power-on: slew mode") << none << ":f1" << QByteArray("=100\r");
    QTest::newRow("initialised") << QStringList{":F3"} << ":f2" << QByteArray("=101\r");
    QTest::newRow("high-speed goto") << QStringList{":G100"} << ":f1" << QByteArray("=400\r");
    QTest::newRow("low-speed slew, reverse")
        << QStringList{":G111"} << ":f1" << QByteArray("=300\r");
    QTest::newRow("high-speed slew, reverse")
        << QStringList{":G131"} << ":f1" << QByteArray("=700\r");
    QTest::newRow("tracking") << (QStringList{":F1"} + tracking) << ":f1" << QByteArray("=111\r");
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
    QTest::addColumn<bool>("brakes");
    // 104.73 steps a second for 10 s: a low-speed slew stops at once, as it starts.
    QTest::newRow("tracking") << QStringList{":G110", ":I16C0200", ":J1"} << qint64(10000)
                              << qint64(1047) << qint64(1) << false;
    // 16 times faster, with half a second lost ramping up and half gained braking.
    QTest::newRow("high-speed slew") << QStringList{":G130", ":I16C0200", ":J1"} << qint64(10000)
                                     << qint64(16757) << qint64(1) << true;
    // 85226.7 steps a second: the second's ramp up and the second's braking make up for each
    // other, so three seconds' worth.
    QTest::newRow("goto at full speed") << QStringList{":G100", ":H155A607", ":J1"} << qint64(3000)
                                        << qint64(255680) << qint64(1) << true;
    QTest::newRow("goto already slowing down")
        << QStringList{":G100", ":H155A607", ":J1"} << qint64(6500) << qint64(501333) << qint64(0)
        << true;
}

void TestSimMount::stopRampsDown() {
    QFETCH(QStringList, commands);
    QFETCH(qint64, stopAtMs);
    QFETCH(qint64, landing);
    QFETCH(qint64, tolerance);
    QFETCH(bool, brakes);
    SimMountCore mount;
    run(mount, commands);
    QCOMPARE(mount.take(":K1", stopAtMs), QByteArray("=\r"));
    // Braking, the axis still runs and takes no new mode.
    QCOMPARE(mount.running(0, stopAtMs + 100), brakes);
    QCOMPARE(mount.take(":f1", stopAtMs + 100).mid(2, 1), QByteArray(brakes ? "1" : "0"));
    QCOMPARE(mount.take(":G100", stopAtMs + 100), QByteArray(brakes ? "!2\r" : "=\r"));
    QVERIFY(!mount.running(0, stopAtMs + 1100));
    const std::int64_t landed = offset(mount, stopAtMs + 5000);
    QVERIFY2(qAbs(landed - landing) <= tolerance, qPrintable(QString::number(landed)));
}

void TestSimMount::faultsOnTheLine_data() {
    QTest::addColumn<MountFault>("fault");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("received");
    QTest::addColumn<qint64>("earliestMs");
    QTest::addColumn<bool>("trackingAfter");
    QTest::addColumn<int>("rateChanges"); // of the RA axis, by the command
    const QString position = "=000080\r";

    // 12 bytes of command and reply at 9600 baud.
    QTest::newRow("none") << MountFault::None << QByteArray(":j2\r") << position << qint64(12)
                          << true << 0;
    QTest::newRow("bytes before the colon dropped")
        << MountFault::None << QByteArray("x\r:K:j2\r") << position << qint64(0) << true << 0;
    QTest::newRow("stop") << MountFault::None << QByteArray(":K1\r") << "=\r" << qint64(0) << false
                          << 1;
    QTest::newRow("silent") << MountFault::Silent << QByteArray(":j2\r") << "" << qint64(0) << true
                            << 0;
    QTest::newRow("garbage") << MountFault::Garbage << QByteArray(":j2\r")
                             << "=[^0-9A-Fa-f=!]{1,6}\r" << qint64(0) << true << 0;
    QTest::newRow("noise before the reply") << MountFault::NoiseBeforeReply << QByteArray(":j2\r")
                                            << "[^=!]{1,4}" + position << qint64(0) << true << 0;
    QTest::newRow("bytes after the CR") << MountFault::BytesAfterCr << QByteArray(":j2\r")
                                        << position + "[!-~]{1,4}" << qint64(0) << true << 0;
    QTest::newRow("error") << MountFault::ErrorReply << QByteArray(":j2\r") << "!0\r" << qint64(0)
                           << true << 0;
    QTest::newRow("short") << MountFault::ShortReply << QByteArray(":j2\r") << "=000\r" << qint64(0)
                           << true << 0;
    QTest::newRow("no end") << MountFault::NoEnd << QByteArray(":j2\r") << "=000080" << qint64(0)
                            << true << 0;
    QTest::newRow("late") << MountFault::LateReply << QByteArray(":j2\r") << position
                          << qint64(5000) << true << 0;
    QTest::newRow("never stops") << MountFault::NeverStops << QByteArray(":K1\r") << "=\r"
                                 << qint64(0) << true << 0;
    // A guide pulse's speed change: 1.5 times the tracking rate, period 413.
    QTest::newRow("speed change") << MountFault::None << QByteArray(":I19D0100\r") << "=\r"
                                  << qint64(0) << true << 1;
    QTest::newRow("deaf to rates")
        << MountFault::DeafToRates << QByteArray(":I19D0100\r") << "=\r" << qint64(0) << true << 0;
}

void TestSimMount::faultsOnTheLine() {
    QFETCH(MountFault, fault);
    QFETCH(QByteArray, sent);
    QFETCH(QString, received);
    QFETCH(qint64, earliestMs);
    QFETCH(bool, trackingAfter);
    QFETCH(int, rateChanges);
    SimMountController sim;
    QVERIFY(listed(sim.portLocation()));
    Line line(sim.portLocation());
    run(sim.core(), {":G110", ":J1"}, Clock::nowMs());
    sim.core().clearRateChanges();
    sim.setFault(fault, 1);

    const std::int64_t sentAt = Clock::nowMs();
    QVERIFY(line.send(sent));
    // The program gives up after three to four seconds; the late reply comes after five.
    const QByteArray got = line.read(whole(received), 20000, 4000);
    QVERIFY2(whole(received).match(QString::fromLatin1(got)).hasMatch(), got.toHex().constData());
    if (!got.isEmpty())
        QVERIFY2(line.firstByteMs - sentAt >= earliestMs,
                 qPrintable(QString::number(line.firstByteMs - sentAt)));
    QCOMPARE(sim.replies().value(0), QString::fromLatin1(got));
    QCOMPARE(sim.errorReplies(), got.startsWith('!') ? 1 : 0);
    QCOMPARE(sim.core().running(0, Clock::nowMs() + 2000), trackingAfter);
    QCOMPARE(int(sim.core().rateChanges().size()), rateChanges);

    // The fault was for one command: the next is answered as it should be.
    QVERIFY(line.send(":e1\r"));
    QCOMPARE(line.read(whole("=020203\r"), 20000, 0), QByteArray("=020203\r"));
    QCOMPARE(sim.commands().value(0),
             QString::fromLatin1(sent.mid(sent.lastIndexOf(':')).chopped(1)));
    QCOMPARE(sim.commands().value(1), QString(":e1"));
}

void TestSimMount::unplugClosesThePort() {
    SimMountController sim;
    const QString location = sim.portLocation();
    Line line(location);
    QVERIFY(line.send(":j1\r"));
    QCOMPARE(line.read(whole("=000080\r"), 20000, 0), QByteArray("=000080\r"));

    sim.setFault(MountFault::Unplugged);
    QVERIFY(!sim.isValid());
    QVERIFY(!listed(location));
    QVERIFY(!line.send(":j1\r"));
    QVERIFY(!QFile::exists(location));
}

void TestSimMount::unreadRepliesDoNotStall() {
    SimMountController sim;
    sim.setReplyDelayMs(0);
    Line line(sim.portLocation());
    // Far more replies than the line holds, none of them read.
    const int commands = 12000;
    int sent = 0;
    while (sent < commands) {
        if (line.send(":j2\r"))
            ++sent;
        else
            QTRY_VERIFY(sim.commands().size() > sent - 100);
    }
    QTRY_COMPARE(sim.commands().size(), commands);
}

QTEST_GUILESS_MAIN(TestSimMount)
#include "tst_simmount.moc"
