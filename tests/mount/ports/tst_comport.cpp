#include "Clock.h"
#include "ComPort.h"
#include "LogRecorder.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SerialPorts.h"
#include "ShutterControl.h"
#include "SimShutterAdapter.h"
#include "UserPrompt.h"

#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A pseudo-terminal pair listed as a serial port; the test holds the far (master) end and
// keeps the slave open too, so its line settings can be read back.
struct Pty {
    int master = -1;
    int slave = -1;
    SerialPortDescription port;

    Pty(const QString& description, const QString& manufacturer, bool adapter = false,
        std::uint16_t productId = ComPort::shutterProductId) {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            qFatal("no pseudo-terminal");
        port.systemLocation = QString::fromLocal8Bit(ptsname(master));
        slave = ::open(ptsname(master), O_RDWR | O_NOCTTY);
        termios tio;
        tcgetattr(slave, &tio);
        cfmakeraw(&tio);
        cfsetispeed(&tio, B115200);
        cfsetospeed(&tio, B115200);
        tio.c_cflag |= PARENB | CSTOPB;
        tcsetattr(slave, TCSANOW, &tio);
        port.portName = port.systemLocation.mid(5); // pts/N, as the system names it
        port.location = port.systemLocation;
        port.description = description;
        port.manufacturer = manufacturer;
        port.hasVendorId = adapter;
        port.vendorId = adapter ? ComPort::shutterVendorId : 0;
        port.hasProductId = adapter;
        port.productId = adapter ? productId : 0;
        SerialPorts::addSimulated(port);
    }
    ~Pty() {
        ::close(slave);
        ::close(master);
    }

    // What arrived at the far end within the time, up to `count` bytes.
    QByteArray read(int count, int timeoutMs = 2000) const {
        QByteArray got;
        QElapsedTimer timer;
        timer.start();
        while (got.size() < count && timer.elapsed() < timeoutMs) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 20) == 1 && (p.revents & POLLIN)) {
                char buffer[64];
                const ssize_t n = ::read(master, buffer, sizeof buffer);
                if (n > 0)
                    got.append(buffer, int(n));
            }
        }
        return got;
    }
};

// Rows of the dialog's list.
QListWidget* rows(ComPort& dialog) {
    return dialog.findChild<QListWidget*>("comPortListWidget");
}

void press(ComPort& dialog, const char* button) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
}

int systemPortCount() {
    SerialPorts::clearSimulated();
    return SerialPorts::available().size();
}

// Stands in for the port dialog in the shutter action's state logic.
struct FakeAdapter : ShutterAdapter {
    bool found = true;
    bool foundOnSearch = false;
    int searches = 0;
    QByteArray written;
    bool isShutterFound() const override { return found; }
    void findShutterAdapter() override {
        ++searches;
        found = foundOnSearch;
    }
    void setShutter(bool open) override { written += open ? '1' : '0'; }
};

} // namespace

class TestComPort : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void formAndRowTexts();
    void connectOpensWithLineSettingsAndCarriesBytes();
    void cancelNoSelectionOrFailedOpenLeaveClosed();
    void listStopsAtThirtyPorts();
    void firstAdapterIsTakenAndShutterBytesArrive();
    void snapWithoutAdapterTellsTheUser();
    void snapStateTransitions();
    void simulatedAdapterRecordsBytesAndOpenTime();
};

void TestComPort::cleanup() {
    SerialPorts::clearSimulated();
    UserPrompt::setMessageHandler(nullptr);
    processState().captureState = 0;
}

void TestComPort::formAndRowTexts() {
    const int system = systemPortCount();
    Pty mount("Mount controller", "Maker Co");
    Pty bare("", "");
    LogRecorder log;
    ComPort dialog;
    dialog.fillPortList();
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("COMポート選択"));
    QCOMPARE(dialog.size(), QSize(402, 343));
    QCOMPARE(dialog.styleSheet(), QStringLiteral("background-color: rgb(0, 0, 0);"));
    QCOMPARE(dialog.findChild<QPushButton*>("pushButton")->text(), QStringLiteral("接続"));
    QCOMPARE(dialog.findChild<QPushButton*>("pushButton_2")->text(), QStringLiteral("キャンセル"));

    QCOMPARE(rows(dialog)->count(), system + 2);
    QCOMPARE(dialog.portInfos.size(), system + 2);
    QCOMPARE(rows(dialog)->item(system)->text(),
             mount.port.portName + " Mount controller Maker Co");
    QCOMPARE(rows(dialog)->item(system + 1)->text(), bare.port.portName + "  ");
    QCOMPARE(dialog.portInfos[system + 1].systemLocation, bare.port.systemLocation);
    QCOMPARE(rows(dialog)->currentRow(), 0);
    QVERIFY(log.contains("Name        : " + mount.port.portName));
    QVERIFY(log.contains("Description : Mount controller"));
    QVERIFY(log.contains("Manufacturer: Maker Co"));
    saveScreenshot(&dialog, "ComPort");

    // Filling again starts over rather than appending.
    dialog.fillPortList();
    QCOMPARE(rows(dialog)->count(), system + 2);
    QCOMPARE(dialog.portInfos.size(), system + 2);
}

void TestComPort::connectOpensWithLineSettingsAndCarriesBytes() {
    const int system = systemPortCount();
    Pty other("Other", "");
    Pty mount("Mount controller", "Maker Co");
    LogRecorder log;
    ComPort dialog;
    dialog.fillPortList();
    dialog.show();
    // Qt's defaults are already 9600 8N1: start from others so the dialog must set them.
    dialog.mountPort.setBaudRate(115200);
    dialog.mountPort.setDataBits(QSerialPort::Data7);
    dialog.mountPort.setParity(QSerialPort::EvenParity);
    dialog.mountPort.setStopBits(QSerialPort::TwoStop);
    rows(dialog)->setCurrentRow(system + 1);
    press(dialog, "pushButton");

    QVERIFY(!dialog.isVisible());
    QVERIFY(dialog.isPortOpen());
    QVERIFY(log.contains(QString("ComPort Item=%1").arg(system + 1)));
    QCOMPARE("/dev/" + dialog.mountPort.portName(), mount.port.systemLocation);
    QCOMPARE(dialog.mountPort.openMode(), QIODevice::ReadWrite);

    // The terminal itself carries 9600 8N1.
    termios tio;
    QCOMPARE(tcgetattr(mount.slave, &tio), 0);
    QCOMPARE(cfgetispeed(&tio), speed_t(B9600));
    QCOMPARE(cfgetospeed(&tio), speed_t(B9600));
    QCOMPARE(tio.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(tio.c_cflag & PARENB, tcflag_t(0));
    QCOMPARE(tio.c_cflag & CSTOPB, tcflag_t(0));
    QCOMPARE(dialog.mountPort.baudRate(QSerialPort::Input), 9600);
    QCOMPARE(dialog.mountPort.baudRate(QSerialPort::Output), 9600);
    QCOMPARE(dialog.mountPort.dataBits(), QSerialPort::Data8);
    QCOMPARE(dialog.mountPort.parity(), QSerialPort::NoParity);
    QCOMPARE(dialog.mountPort.stopBits(), QSerialPort::OneStop);

    // Both ways, unaltered (no line-end translation, no echo).
    dialog.mountPort.write(":GR#\n\r");
    QVERIFY(dialog.mountPort.waitForBytesWritten(1000));
    QCOMPARE(mount.read(6), QByteArray(":GR#\n\r"));
    QCOMPARE(::write(mount.master, "12:34:56#\n", 10), ssize_t(10));
    QByteArray reply;
    while (reply.size() < 10 && dialog.mountPort.waitForReadyRead(1000))
        reply += dialog.mountPort.readAll();
    QCOMPARE(reply, QByteArray("12:34:56#\n"));
    QCOMPARE(mount.read(1, 100), QByteArray());
    QCOMPARE(other.read(1, 50), QByteArray());

    dialog.closePort();
    QVERIFY(!dialog.isPortOpen());
    QVERIFY(!dialog.mountPort.isOpen());
}

void TestComPort::cancelNoSelectionOrFailedOpenLeaveClosed() {
    const int system = systemPortCount();
    Pty mount("Mount controller", "Maker Co");
    SerialPortDescription gone;
    gone.portName = "ttyGone";
    gone.systemLocation = "/dev/vesperix-no-such-port";
    SerialPorts::addSimulated(gone);
    LogRecorder log;
    ComPort dialog;
    dialog.fillPortList();

    dialog.show();
    rows(dialog)->setCurrentRow(system);
    press(dialog, "pushButton_2");
    QVERIFY(!dialog.isVisible());
    QVERIFY(!dialog.isPortOpen());
    QVERIFY(!dialog.mountPort.isOpen());

    dialog.show();
    rows(dialog)->setCurrentRow(-1);
    press(dialog, "pushButton");
    QVERIFY(!dialog.isVisible());
    QVERIFY(!dialog.isPortOpen());
    QVERIFY(!log.lines().join('\n').contains("ComPort Item="));

    // A port that will not open is not reported as open.
    dialog.show();
    rows(dialog)->setCurrentRow(system + 1);
    press(dialog, "pushButton");
    QVERIFY(!dialog.isVisible());
    QVERIFY(log.contains(QString("ComPort Item=%1").arg(system + 1)));
    QVERIFY(!dialog.isPortOpen());
}

void TestComPort::listStopsAtThirtyPorts() {
    const int system = systemPortCount();
    const int extra = ComPort::maxPorts + 3 - system;
    for (int i = 0; i < extra; ++i) {
        SerialPortDescription port;
        port.portName = QString("ttySIM%1").arg(i);
        port.systemLocation = "/dev/" + port.portName;
        SerialPorts::addSimulated(port);
    }
    LogRecorder log;
    ComPort dialog;
    dialog.fillPortList();
    QCOMPARE(rows(dialog)->count(), ComPort::maxPorts);
    QCOMPARE(dialog.portInfos.size(), ComPort::maxPorts);
    QCOMPARE(rows(dialog)->item(ComPort::maxPorts - 1)->text().section(' ', 0, 0),
             dialog.portInfos.last().portName);
    QVERIFY(log.contains(QString("Port skipped (list full): ttySIM%1").arg(extra - 1)));
    QVERIFY(!log.contains(QString("Name        : ttySIM%1").arg(extra - 1)));
}

void TestComPort::firstAdapterIsTakenAndShutterBytesArrive() {
    systemPortCount();
    Pty plain("Plain", "Maker Co");
    Pty lookalike("Other gadget", "Same maker", true, 0x000A); // same vendor, other product
    Pty first("USB Shutter Adapter", "Maker Co", true);
    Pty second("USB Shutter Adapter", "Maker Co", true);
    LogRecorder log;
    ComPort shutter;
    shutter.shutterPort.setBaudRate(115200);
    shutter.shutterPort.setParity(QSerialPort::OddParity);
    QVERIFY(!shutter.isShutterFound());
    shutter.findShutterAdapter();
    QVERIFY(shutter.isShutterFound());
    QCOMPARE("/dev/" + shutter.shutterPort.portName(), first.port.systemLocation);
    QCOMPARE(log.lines().count("find DigiShuuter"), 1);
    QVERIFY(log.contains("Port: " + lookalike.port.portName));
    QVERIFY(log.contains("Location: " + first.port.systemLocation));
    QVERIFY(log.contains("Vendor Identifier: 4d8"));
    QVERIFY(log.contains("Product Identifier: e53f"));
    // The search stops at the first adapter.
    QVERIFY(!log.contains("Port: " + second.port.portName));

    termios tio;
    QCOMPARE(tcgetattr(first.slave, &tio), 0);
    QCOMPARE(cfgetospeed(&tio), speed_t(B9600));
    QCOMPARE(tio.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t(CS8));

    shutter.setShutter(true);
    QCOMPARE(first.read(1), QByteArray("1"));
    shutter.setShutter(false);
    QCOMPARE(first.read(1), QByteArray("0"));
    QCOMPARE(second.read(1, 50), QByteArray());
    QCOMPARE(lookalike.read(1, 50), QByteArray());
}

void TestComPort::snapWithoutAdapterTellsTheUser() {
    systemPortCount();
    Pty plain("Plain", "Maker Co");
    QStringList messages;
    UserPrompt::setMessageHandler([&](const QString& text) { messages << text; });
    LogRecorder log;
    ComPort shutter;
    snapShutter(shutter);
    QCOMPARE(messages, QStringList{"USBシャッターアダプターがありません"});
    QCOMPARE(log.lines().first(), QString("Snap In"));
    QVERIFY(log.contains("Port: " + plain.port.portName)); // it did search again
    QVERIFY(!log.contains("Shutter Start"));
    QCOMPARE(processState().captureState.load(), 0);
    QCOMPARE(plain.read(1, 50), QByteArray());

    // An adapter plugged in later is found by the next press.
    Pty adapter("USB Shutter Adapter", "Maker Co", true);
    messages.clear();
    snapShutter(shutter);
    QVERIFY(messages.isEmpty());
    QCOMPARE(adapter.read(1), QByteArray("1"));
    QCOMPARE(processState().captureState.load(), 2);
}

void TestComPort::snapStateTransitions() {
    struct Case {
        int before;
        int after;
        QByteArray written;
        const char* logLine;
    };
    const Case cases[] = {
        {0, 2, "1", "Shutter Start"}, {3, 2, "1", "Shutter Start"}, {2, 0, "0", "Shutter Stop"},
        {1, 1, "", nullptr},          {4, 4, "", nullptr},
    };
    for (const Case& c : cases) {
        FakeAdapter adapter;
        LogRecorder log;
        processState().captureState = c.before;
        snapShutter(adapter);
        QCOMPARE(processState().captureState.load(), c.after);
        QCOMPARE(adapter.written, c.written);
        QCOMPARE(adapter.searches, 0);
        QStringList expected{"Snap In"};
        if (c.logLine)
            expected << c.logLine;
        QCOMPARE(log.lines(), expected);
    }

    // Not found at first, found on the search: the press goes ahead.
    FakeAdapter late;
    late.found = false;
    late.foundOnSearch = true;
    processState().captureState = 0;
    snapShutter(late);
    QCOMPARE(late.searches, 1);
    QCOMPARE(late.written, QByteArray("1"));
    QCOMPARE(processState().captureState.load(), 2);
}

void TestComPort::simulatedAdapterRecordsBytesAndOpenTime() {
    const int system = systemPortCount();
    const double scale = Clock::scale();
    Clock::setScale(100);
    {
        SimShutterAdapter sim;
        QVERIFY(sim.isValid());
        const QVector<SerialPortDescription> ports = SerialPorts::available();
        QCOMPARE(ports.size(), system + 1);
        QCOMPARE(ports.last().systemLocation, sim.portLocation());

        ComPort shutter;
        processState().captureState = 0;
        snapShutter(shutter);
        QVERIFY(shutter.isShutterFound());
        QTRY_COMPARE(sim.received(), QByteArray("1"));
        QVERIFY(sim.isShutterOpen());
        const std::int64_t start = Clock::nowMs();
        Clock::sleepMs(3000);
        const std::int64_t held = Clock::nowMs() - start;
        snapShutter(shutter);
        QTRY_COMPARE(sim.received(), QByteArray("10"));
        QVERIFY(!sim.isShutterOpen());
        QCOMPARE(sim.openTimesMs().size(), 1);
        QVERIFY2(sim.openTimesMs()[0] >= held, qPrintable(QString::number(sim.openTimesMs()[0])));
        QVERIFY(sim.openTimesMs()[0] < held + 60000);

        // A stray close and a repeated open do not make up exposures.
        shutter.setShutter(false);
        shutter.setShutter(true);
        shutter.setShutter(true);
        shutter.setShutter(false);
        QTRY_COMPARE(sim.received(), QByteArray("100110"));
        QCOMPARE(sim.openTimesMs().size(), 2);
    }
    Clock::setScale(scale);
    // Gone from the list with the adapter.
    QCOMPARE(SerialPorts::available().size(), system);
}

QTEST_MAIN(TestComPort)
#include "tst_comport.moc"
