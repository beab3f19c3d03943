// The mount's protocol without a line: the number encodings, the rate arithmetic and the bytes
// each operation sends, against a controller that answers from a script.
#include "GuidePulseTimer.h"
#include "MountCodec.h"
#include "MountControl.h"
#include "SettingsRecord.h"

#include <QtTest>

namespace {

// Answers as a controller with 9024000 counts per turn, a 64935 Hz timer and a high-speed
// ratio of 16, standing still; records every command but the status polls.
class ScriptedController : public MountChannel {
public:
    QStringList sent;

    bool sendCommand(const QByteArray& command, MountReply* reply) override {
        const QByteArray text = command.chopped(1);
        reply->refused = false;
        switch (text.at(1)) {
        case 'a':
            reply->data = MountCodec::encode24(9024000);
            break;
        case 'b':
            reply->data = MountCodec::encode24(64935);
            break;
        case 'g':
            reply->data = "10";
            break;
        case 'e':
        case 'j':
        case 's':
        case 'q':
            reply->data = "000080";
            break;
        case 'f':
            reply->data = "101"; // slew mode, initialised, not running
            return true;
        default:
            reply->data.clear();
        }
        sent << QString::fromLatin1(text);
        return true;
    }
};

struct RecordingTimer : GuidePulseTimer {
    std::uint32_t ra = 0, dec = 0;
    void armRa(std::uint32_t ticks) override { ra = ticks; }
    void armDec(std::uint32_t ticks) override { dec = ticks; }
};

} // namespace

class TestMountProtocol : public QObject {
    Q_OBJECT
private slots:
    void numbers();
    void operations_data();
    void operations();
    void decReversed_data();
    void decReversed();
};

void TestMountProtocol::numbers() {
    QCOMPARE(MountCodec::encode24(0x123456), QByteArray("563412"));
    std::uint32_t value = 0;
    QVERIFY(MountCodec::decode24("000080", &value));
    QCOMPARE(value, std::uint32_t(0x800000));
    QVERIFY(MountCodec::decode24("563412", &value) && value == 0x123456);
    QVERIFY(MountCodec::decode24("abcdef", &value) && value == 0xEFCDAB);
    // Only the digits a command returns are a number; anything else leaves the value alone.
    value = 7;
    for (const char* bad : {"", "12", "12345", "1234567", "12345G", "0", " 12345", "12\r456"}) {
        QVERIFY2(!MountCodec::decode24(bad, &value), bad);
        QCOMPARE(value, std::uint32_t(7));
    }
    QVERIFY(MountCodec::decode8("10", &value) && value == 16);
    QVERIFY(!MountCodec::decode8("1", &value) && !MountCodec::decode8("1X", &value));
    MountCodec::AxisStatus status;
    QVERIFY(MountCodec::decodeStatus("711", &status));
    QVERIFY(status.running && status.initDone && !status.gotoMode && status.reverse &&
            status.highSpeed);
    QVERIFY(MountCodec::decodeStatus("000", &status));
    QVERIFY(!status.running && !status.initDone && status.gotoMode);
    QVERIFY(!MountCodec::decodeStatus("10", &status));
}

void TestMountProtocol::operations_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<double>("rate");
    QTest::addColumn<int>("dir");
    QTest::addColumn<double>("degrees");
    QTest::addColumn<int>("gspeed");
    QTest::addColumn<bool>("zorvan");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<int>("ticks"); // of a guide pulse of 1000
    QTest::newRow("slew at rate 1")
        << "slew" << 1.0 << 0 << 0.0 << 1 << false << QStringList{":G110", ":I16C0200", ":J1"} << 0;
    // Period 0 at low speed: high speed, with the ratio's formula (12 ticks).
    QTest::newRow("slew at rate 800") << "slew" << 800.0 << 0 << 0.0 << 1 << false
                                      << QStringList{":G130", ":I10C0000", ":J1"} << 0;
    // A negative amount turns the direction; the steps are those of 5 degrees.
    QTest::newRow("goto -5 degrees") << "goto" << 800.0 << 1 << -5.0 << 1 << false
                                     << QStringList{":G100", ":H195E901", ":J1"} << 0;
    QTest::newRow("goto at low speed")
        << "goto" << 1.0 << 0 << 1.0 << 1 << false << QStringList{":G120", ":H1EA6100", ":J1"} << 0;
    QTest::newRow("pulse west, gspeed 1")
        << "pulse" << 0.0 << 0 << 0.0 << 1 << false << QStringList{":I1360100", ":J1"} << 239;
    QTest::newRow("pulse east, gspeed 1")
        << "pulse" << 0.0 << 1 << 0.0 << 1 << false << QStringList{":I1130800", ":J1"} << 239;
    QTest::newRow("pulse west, gspeed 10")
        << "pulse" << 0.0 << 0 << 0.0 << 10 << false << QStringList{":I1380000", ":J1"} << 239;
    QTest::newRow("pulse east, zorvan")
        << "pulse" << 0.0 << 1 << 0.0 << 1 << true << QStringList{":I1B10200", ":J1"} << 23;
    QTest::newRow("pulse north") << "pulseDec" << 0.0 << 0 << 0.0 << 2 << false
                                 << QStringList{":G210", ":I2360100", ":J2"} << 239;
}

void TestMountProtocol::operations() {
    QFETCH(QString, operation);
    QFETCH(double, rate);
    QFETCH(int, dir);
    QFETCH(double, degrees);
    QFETCH(int, gspeed);
    QFETCH(bool, zorvan);
    QFETCH(QStringList, commands);
    QFETCH(int, ticks);
    ScriptedController controller;
    SettingsRecord settings;
    settings.setDefaults();
    settings.gspeed = gspeed;
    settings.zorvanV2 = zorvan;
    const double ra = 10, dec = 20;
    const int pierSide = 1; // decDir 0: Dec as it is
    MountControl mount(controller, settings, ra, dec, pierSide);
    QVERIFY(mount.initMount());
    QCOMPARE(mount.raState, int(MountControl::Idle));
    controller.sent.clear();
    RecordingTimer timer;
    mount.guideTimer = &timer;
    if (operation == "slew")
        QVERIFY(mount.slewAxis(0, rate, dir));
    else if (operation == "goto")
        QVERIFY(mount.gotoAxisDegrees(0, rate, dir, degrees));
    else if (operation == "pulse")
        mount.guidePulseRa(dir, 1000);
    else
        mount.guidePulseDec(dir, 1000);
    QCOMPARE(controller.sent, commands);
    QCOMPARE(int(operation == "pulseDec" ? timer.dec : timer.ra), ticks);
    // A pulse on an axis that is not idle does nothing.
    if (operation.startsWith("pulse")) {
        controller.sent.clear();
        mount.guidePulseRa(dir, 1000);
        mount.guidePulseDec(dir, 1000);
        QCOMPARE(controller.sent.size(), operation == "pulse" ? 3 : 2);
    }
}

void TestMountProtocol::decReversed_data() {
    QTest::addColumn<int>("pierSide");
    QTest::addColumn<int>("decDir");
    QTest::addColumn<bool>("reversed");
    QTest::newRow("west of the pier") << -1 << 0 << false;
    QTest::newRow("west, setting reversed") << -1 << 1 << true;
    QTest::newRow("east of the pier") << 1 << 1 << true;
    QTest::newRow("pier side unknown") << 0 << 0 << true;
    QTest::newRow("pier side unknown, setting reversed") << 0 << 1 << false;
}

void TestMountProtocol::decReversed() {
    QFETCH(int, pierSide);
    QFETCH(int, decDir);
    QFETCH(bool, reversed);
    ScriptedController controller;
    SettingsRecord settings;
    settings.setDefaults();
    settings.decDir = decDir;
    const double ra = 0, dec = 0;
    MountControl mount(controller, settings, ra, dec, pierSide);
    QCOMPARE(mount.decReversed(), reversed);
}

QTEST_GUILESS_MAIN(TestMountProtocol)
#include "tst_mountprotocol.moc"
