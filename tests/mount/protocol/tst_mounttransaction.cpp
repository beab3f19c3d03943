// The mount's transactions on a real serial line to the simulated motor controller: the
// initialisation byte for byte, the line's faults at every step, and conversations that
// never interleave.
#include "Clock.h"
#include "ComPort.h"
#include "GuidePulseTimer.h"
#include "LogRecorder.h"
#include "MountControl.h"
#include "MountLink.h"
#include "ProcessState.h"
#include "SettingsRecord.h"
#include "SimMountController.h"
#include "TimerThread.h"

#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(MountFault)

namespace {

const QStringList initCommands = {":e1", ":F1", ":F2", ":a1", ":a2", ":b1", ":b2", ":g1", ":g2",
                                  ":s1", ":s2", ":V232", ":q1010000", ":O10", ":K1", ":K2", ":f1",
                                  ":f2", ":E1000080", ":E2000080", ":j1", ":j2",
                                  // tracking: stop first, then the RA axis at rate 1
                                  ":f1", ":G110", ":I16C0200", ":J1"};

// Steps (from 1) whose reply is a number the program keeps or reads.
bool carriesValue(int step) {
    const QString& command = initCommands[step - 1];
    return QString("eabgjf").contains(command[1]) && command != ":f2" &&
           !(command == ":f1" && step == 17);
}

// The program's side of the line to a fresh simulated controller, the port opened as the
// port dialog opens it, the transaction's seconds counted by the capture's timer.
struct Line {
    SimMountController sim;
    ComPort port;
    SettingsRecord settings;
    ProcessState state;
    TimerThread timer{state, nullptr};
    MountLink link{port, &timer};
    const double ra = 83.8, dec = -5.4;
    const int pierSide = -1;
    MountControl mount{link, settings, ra, dec, pierSide};

    Line() {
        settings.setDefaults();
        state.settings = &settings;
        port.mountPort.setPortName(sim.portLocation());
        port.isOpen = port.mountPort.open(QIODevice::ReadWrite) ? 1 : 0;
        timer.start();
    }
    ~Line() {
        timer.stop();
        timer.wait();
    }
};

// Sets a fault on the controller just before the program's n-th command (from 1).
class FaultAtCommand : public MountChannel {
public:
    FaultAtCommand(Line& line, MountFault fault, int at)
        : line(line)
        , fault(fault)
        , at(at) {}
    bool sendCommand(const QByteArray& command, MountReply* reply) override {
        if (++sent == at)
            line.sim.setFault(fault, 1);
        return line.link.sendCommand(command, reply);
    }

private:
    Line& line;
    MountFault fault;
    int at;
    int sent = 0;
};

struct RecordingTimer : GuidePulseTimer {
    void armRa(std::uint32_t) override {}
    void armDec(std::uint32_t) override {}
};

} // namespace

class TestMountTransaction : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Clock::setScale(25); }
    void freshInit();
    void harmlessFaults_data();
    void harmlessFaults();
    void silenceTimesOut();
    void faultAtEveryInitStep_data();
    void faultAtEveryInitStep();
    void conversationsNeverInterleave();
    void movesRaiseNoErrors();
    void anAxisThatNeverStops();
};

void TestMountTransaction::freshInit() {
    Line line;
    QVERIFY(line.mount.initMount());
    QCOMPARE(line.sim.commands(), initCommands);
    QCOMPARE(line.mount.axes[0].countsPerRev, std::uint32_t(9024000));
    QCOMPARE(line.mount.axes[1].timerFreq, std::uint32_t(64935));
    QCOMPARE(line.mount.axes[0].highSpeedRatio, std::uint32_t(16));
    QCOMPARE(line.mount.raRawPosition, std::uint32_t(0x800000));
    QVERIFY(line.mount.initialized && line.mount.gotoTimer());
    // The RA axis tracks at period 620: 64935 / 620 steps a second.
    SimMountCore& core = line.sim.core();
    const std::int64_t t0 = Clock::nowMs();
    const std::uint32_t c0 = core.count(0, t0);
    QVERIFY(core.running(0, t0) && !core.running(1, t0));
    const double steps = double(core.count(0, t0 + 10000)) - c0;
    QVERIFY2(std::abs(steps - 64935.0 / 620 * 10) <= 2, qPrintable(QString::number(steps)));
}

void TestMountTransaction::harmlessFaults_data() {
    QTest::addColumn<MountFault>("fault");
    QTest::addColumn<QString>("logLine");
    QTest::newRow("noise before =") << MountFault::NoiseBeforeReply << QString();
    QTest::newRow("bytes after CR") << MountFault::BytesAfterCr << QString("Gomi");
}

void TestMountTransaction::harmlessFaults() {
    QFETCH(MountFault, fault);
    QFETCH(QString, logLine);
    LogRecorder log;
    Line line;
    line.sim.setFault(fault);
    QVERIFY(line.mount.initMount());
    QCOMPARE(line.mount.axes[0].countsPerRev, std::uint32_t(9024000));
    if (!logLine.isEmpty())
        QVERIFY(log.contains(logLine));
}

void TestMountTransaction::silenceTimesOut() {
    LogRecorder log;
    Line line;
    line.sim.setFault(MountFault::Silent, 1);
    MountReply reply;
    const std::int64_t start = Clock::nowMs();
    QVERIFY(!line.link.sendCommand(":e1\r", &reply));
    const std::int64_t waited = Clock::nowMs() - start;
    QVERIFY2(waited >= 3000 && waited <= 4200, qPrintable(QString::number(waited)));
    QVERIFY(log.contains("Seial Time Out"));
    // The line is good again for the next command.
    QVERIFY(line.link.sendCommand(":e1\r", &reply));
}

void TestMountTransaction::faultAtEveryInitStep_data() {
    QTest::addColumn<MountFault>("fault");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("fails");
    const struct {
        const char* name;
        MountFault fault;
        bool timesOut; // else the reply comes, but is no number
    } faults[] = {
        {"silent", MountFault::Silent, true},    {"no end", MountFault::NoEnd, true},
        {"late", MountFault::LateReply, true},   {"unplugged", MountFault::Unplugged, true},
        {"garbage", MountFault::Garbage, false}, {"!", MountFault::ErrorReply, false},
        {"short", MountFault::ShortReply, false}};
    for (const auto& f : faults) {
        for (int step = 1; step <= initCommands.size(); ++step) {
            // ":F1" and ":F2" are sent for their effect; a reply that is no number matters
            // only where a number is read. An unplugged port fails every command after it;
            // a late reply is taken for the next command's, which is then no number.
            const bool initDoneStep = step == 2 || step == 3;
            const bool fails = f.fault == MountFault::Unplugged ||
                               f.fault == MountFault::LateReply ||
                               (f.timesOut ? !initDoneStep : carriesValue(step));
            QTest::addRow("%s at %s", f.name, qPrintable(initCommands[step - 1]))
                << f.fault << step << fails;
        }
    }
}

void TestMountTransaction::faultAtEveryInitStep() {
    QFETCH(MountFault, fault);
    QFETCH(int, step);
    QFETCH(bool, fails);
    Line line;
    FaultAtCommand faulty(line, fault, step);
    MountControl mount(faulty, line.settings, line.ra, line.dec, line.pierSide);
    const bool initialised = mount.initMount();
    if (fault == MountFault::LateReply && initialised) {
        // The late reply came in before the next question went out, on a slow machine, and was
        // thrown away: then every value must be the one a sound line gives.
        Line sound;
        QVERIFY(sound.mount.initMount());
        QCOMPARE(mount.axes[0].countsPerRev, sound.mount.axes[0].countsPerRev);
        QCOMPARE(mount.axes[1].countsPerRev, sound.mount.axes[1].countsPerRev);
        QCOMPARE(mount.boardVersion, sound.mount.boardVersion);
        return;
    }
    QCOMPARE(initialised, !fails);
    if (fails) {
        // Nothing of a failed initialisation is kept.
        QVERIFY(!mount.initialized && !mount.gotoTimer());
        QCOMPARE(mount.boardVersion, std::uint32_t(0));
        QCOMPARE(mount.axes[0].countsPerRev + mount.axes[1].countsPerRev, std::uint32_t(0));
        QCOMPARE(mount.raRawPosition + mount.decRawPosition, std::uint32_t(0));
    }
}

void TestMountTransaction::conversationsNeverInterleave() {
    LogRecorder log;
    Line line;
    // Presses that come while the initialisation waits for its replies.
    bool requested = false, nestedRefused = false;
    QTimer finger;
    QObject::connect(&finger, &QTimer::timeout, [&] {
        if (!line.mount.isBusy() || requested)
            return;
        requested = true;
        line.mount.requestSlew(1, 2.0, 0);
        MountReply reply;
        nestedRefused = !line.link.sendCommand(":j2\r", &reply);
    });
    finger.start(1);
    QVERIFY(line.mount.initMount());
    QVERIFY(requested && nestedRefused && line.mount.pendingDecSlew);
    QCOMPARE(log.lines().filter("refused: another waits for its reply").size(), 1);
    QCOMPARE(line.sim.commands(), initCommands);
    // The kept request runs after the conversation.
    line.mount.servePendingRequests();
    QVERIFY(!line.mount.pendingDecSlew);
    QCOMPARE(line.sim.commands().mid(initCommands.size()),
             (QStringList{":f2", ":G210", ":I2360100", ":J2"}));
}

void TestMountTransaction::movesRaiseNoErrors() {
    Line line;
    QVERIFY(line.mount.initMount());
    MountControl& mount = line.mount;
    RecordingTimer pulses;
    mount.guideTimer = &pulses;
    QVERIFY(mount.slewAxis(1, 400, 1));
    QVERIFY(mount.gotoAxisDegrees(1, 800, 0, 2.0)); // stops the slew first
    QVERIFY(mount.gotoAxisDegrees(0, 800, 1, -1.0));
    QVERIFY(mount.waitAxisStopped(0) && mount.waitAxisStopped(1));
    QVERIFY(mount.startTracking());
    mount.guidePulseRa(0, 500);
    mount.guidePulseDec(1, 500);
    QVERIFY(mount.stopAxis(1));
    QVERIFY(mount.resetPosition(1));
    QCOMPARE(line.sim.errorReplies(), 0);
}

void TestMountTransaction::anAxisThatNeverStops() {
    LogRecorder log;
    Line line;
    QVERIFY(line.mount.initMount());
    line.sim.setFault(MountFault::NeverStops);
    QVERIFY(line.mount.slewAxis(1, 100, 0));
    line.sim.clearRecords();
    // The slew on the same axis waits for the stop, which never comes: it is not started.
    QVERIFY(!line.mount.slewAxis(1, 100, 1));
    QCOMPARE(log.lines().filter("still running").size(), 1);
    QVERIFY(line.sim.commands().filter(":G2").isEmpty());
}

QTEST_MAIN(TestMountTransaction)
#include "tst_mounttransaction.moc"
