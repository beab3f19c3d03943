#include "MountLink.h"

#include "Clock.h"
#include "ComPort.h"
#include "DebugLog.h"
#include "MountReplyReader.h"

#include <QCoreApplication>

namespace {

// The longest the window waits on the port without answering the user.
constexpr int portWaitMs = 20;

QByteArray printable(const QByteArray& command) {
    return command.endsWith('\r') ? command.chopped(1) : command;
}

} // namespace

MountLink::MountLink(ComPort& port, AuxCounter* auxCounter)
    : comPort(port)
    , aux(auxCounter) {}

bool MountLink::portLost() const {
    const QSerialPort& port = comPort.mountPort;
    return !port.isOpen() || port.error() == QSerialPort::ResourceError;
}

bool MountLink::timedOut(std::int64_t deadline, bool counting) const {
    return Clock::nowMs() >= deadline || (counting && aux && aux->auxCount() > 3);
}

bool MountLink::sendCommand(const QByteArray& command, MountReply* reply) {
    if (waiting) {
        debugLog("Mount command %s refused: another waits for its reply",
                 printable(command).constData());
        return false;
    }
    if (!comPort.isPortOpen() || portLost()) {
        debugLog("Mount port not open: %s not sent", printable(command).constData());
        return false;
    }
    waiting = true;
    const std::int64_t deadline = Clock::nowMs() + timeoutMs;
    QSerialPort& port = comPort.mountPort;
    // Whatever waits belongs to no command of ours.
    do {
        port.readAll();
    } while (port.waitForReadyRead(0));
    const bool answered = writeCommand(command, deadline) && readReply(reply, deadline);
    if (aux)
        aux->stopAuxCount();
    waiting = false;
    return answered;
}

bool MountLink::writeCommand(const QByteArray& command, std::int64_t deadline) {
    QSerialPort& port = comPort.mountPort;
    if (port.write(command) != command.size()) {
        debugLog("Mount port write failed: %s", port.errorString().toUtf8().constData());
        return false;
    }
    while (port.bytesToWrite() > 0) {
        port.waitForBytesWritten(portWaitMs);
        QCoreApplication::processEvents();
        if (portLost()) {
            debugLog("Mount port lost while writing");
            return false;
        }
        if (timedOut(deadline, false)) {
            debugLog("Seial Time Out");
            return false;
        }
    }
    return true;
}

bool MountLink::readReply(MountReply* reply, std::int64_t deadline) {
    QSerialPort& port = comPort.mountPort;
    if (aux)
        aux->startAuxCount();
    MountReplyReader reader;
    QCoreApplication::processEvents();
    for (;;) {
        char byte = 0;
        while (port.getChar(&byte)) {
            const MountReplyReader::State state = reader.take(byte);
            if (state == MountReplyReader::State::Done) {
                *reply = reader.reply();
                if (port.bytesAvailable() > 0 || port.waitForReadyRead(0)) {
                    debugLog("Gomi");
                    port.readAll();
                }
                return true;
            }
            if (state == MountReplyReader::State::TooLong) {
                debugLog("Mount reply too long: %s", reader.reply().data.constData());
                return false;
            }
        }
        if (portLost()) {
            debugLog("Mount port lost while waiting for a reply");
            return false;
        }
        if (timedOut(deadline, true)) {
            debugLog("Seial Time Out");
            return false;
        }
        port.waitForReadyRead(portWaitMs);
        QCoreApplication::processEvents();
    }
}
