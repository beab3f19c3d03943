#include "SimMountController.h"

#include "Clock.h"
#include "DebugLog.h"
#include "SerialPorts.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Longer than any command; anything past it is dropped and the command is refused by length.
const int longestCommand = 32;
const std::int64_t lateReplyMs = 5000;

// 8N1 at 9600 baud: ten bits a byte.
std::int64_t lineMs(int bytes) {
    return (std::int64_t(bytes) * 10 * 1000 + 9599) / 9600;
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool isPrintable(char c) {
    return c > ' ' && c < 127;
}

bool isGarbage(char c) {
    return isPrintable(c) && !isHexDigit(c) && c != '=' && c != '!';
}

bool isNoise(char c) {
    return c != '=' && c != '!';
}

} // namespace

SimMountController::SimMountController() {
    masterFd = posix_openpt(O_RDWR | O_NOCTTY);
    if (masterFd < 0 || grantpt(masterFd) != 0 || unlockpt(masterFd) != 0 || pipe(wakeFds) != 0) {
        debugLog("mount controller: no pseudo-terminal (errno %d)", errno);
        if (masterFd >= 0)
            ::close(masterFd);
        masterFd = -1;
        return;
    }
    // A program that never reads its replies must not stall the controller on a full line.
    fcntl(masterFd, F_SETFL, fcntl(masterFd, F_GETFL) | O_NONBLOCK);
    slavePath = QString::fromLocal8Bit(ptsname(masterFd));
    slaveFd = ::open(ptsname(masterFd), O_RDWR | O_NOCTTY);
    if (slaveFd >= 0) {
        // Raw from the start: no echo back to the program, and CR stays CR.
        termios tio;
        if (tcgetattr(slaveFd, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(slaveFd, TCSANOW, &tio);
        }
    }

    SerialPortDescription port;
    port.portName = slavePath.mid(5); // pts/N, as the system names it
    port.systemLocation = slavePath;
    port.location = slavePath;
    port.description = QStringLiteral("Mount Controller");
    port.manufacturer = QStringLiteral("Vesperix Simulator");
    SerialPorts::addSimulated(port);

    reader = std::thread([this] { readLoop(); });
}

SimMountController::~SimMountController() {
    unplug();
    for (const int fd : wakeFds) {
        if (fd >= 0)
            ::close(fd);
    }
}

void SimMountController::setReplyDelayMs(int ms) {
    replyDelayMs = ms;
}

void SimMountController::setFault(MountFault newFault, int commands) {
    debugLog("mount controller: fault %d for %d commands", int(newFault), commands);
    if (newFault == MountFault::Unplugged) {
        unplug();
        return;
    }
    std::lock_guard<std::mutex> lock(mutex);
    fault = commands == 0 ? MountFault::None : newFault;
    faultCommands = commands;
}

void SimMountController::clearFault() {
    setFault(MountFault::None);
}

// The records are copied whole rather than shared, as the reader thread goes on appending.
QStringList SimMountController::commands() const {
    std::lock_guard<std::mutex> lock(mutex);
    return QStringList(commandLog.begin(), commandLog.end());
}

QStringList SimMountController::replies() const {
    std::lock_guard<std::mutex> lock(mutex);
    return QStringList(replyLog.begin(), replyLog.end());
}

int SimMountController::errorReplies() const {
    std::lock_guard<std::mutex> lock(mutex);
    return int(std::count_if(replyLog.begin(), replyLog.end(),
                             [](const QString& reply) { return reply.startsWith('!'); }));
}

void SimMountController::clearRecords() {
    std::lock_guard<std::mutex> lock(mutex);
    commandLog.clear();
    replyLog.clear();
}

void SimMountController::readLoop() {
    pollfd fds[2] = {{masterFd, POLLIN, 0}, {wakeFds[0], POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        if (fds[0].revents & POLLIN) {
            char buffer[64];
            const ssize_t n = ::read(masterFd, buffer, sizeof buffer);
            for (ssize_t i = 0; i < n; ++i) {
                QByteArray command;
                if (takeByte(buffer[i], &command) && !answer(command))
                    return;
            }
        } else if (fds[0].revents) {
            // No slave open (only possible if ours failed): wait for the stop request.
            fds[0].fd = -1;
        }
    }
}

bool SimMountController::takeByte(char byte, QByteArray* command) {
    if (byte == ':') {
        // A colon always starts a command, even in the middle of a broken one.
        pending = ":";
        return false;
    }
    if (pending.isEmpty())
        return false; // line noise between commands
    if (byte != '\r') {
        if (pending.size() <= longestCommand)
            pending += byte;
        return false;
    }
    *command = pending;
    pending.clear();
    return true;
}

// Answers one command on the line; false when the controller is being shut down meanwhile.
bool SimMountController::answer(const QByteArray& command) {
    const std::int64_t receivedMs = Clock::nowMs();
    const MountFault active = faultForNextCommand();
    QByteArray reply;
    if (active == MountFault::ErrorReply)
        reply = "!0\r";
    else if (active == MountFault::NeverStops && command.startsWith(":K") && command.size() == 3)
        reply = "=\r";
    else if (active != MountFault::Silent)
        reply = misshape(active, mount.take(command, receivedMs));
    {
        std::lock_guard<std::mutex> lock(mutex);
        commandLog << QString::fromLatin1(command);
        replyLog << QString::fromLatin1(reply);
    }
    if (reply.isEmpty())
        return true;

    const int fixedMs = replyDelayMs;
    const std::int64_t delayMs = active == MountFault::LateReply ? lateReplyMs
                                 : fixedMs >= 0                  ? fixedMs
                                                : lineMs(command.size() + 1 + reply.size());
    if (!waitUntil(receivedMs + delayMs))
        return false;
    const bool written = ::write(masterFd, reply.constData(), size_t(reply.size())) == reply.size();
    if (!written && !lineFull)
        debugLog("mount controller: replies dropped, nobody reads them (errno %d)", errno);
    lineFull = !written;
    return true;
}

MountFault SimMountController::faultForNextCommand() {
    std::lock_guard<std::mutex> lock(mutex);
    const MountFault current = fault;
    if (faultCommands > 0 && --faultCommands == 0)
        fault = MountFault::None;
    return current;
}

QByteArray SimMountController::misshape(MountFault kind, const QByteArray& reply) {
    const QByteArray data = reply.mid(1, reply.size() - 2);
    switch (kind) {
    case MountFault::Garbage:
        return '=' + strayBytes(1, 6, isGarbage) + '\r';
    case MountFault::NoiseBeforeReply:
        return strayBytes(1, 4, isNoise) + reply;
    case MountFault::BytesAfterCr:
        return reply + strayBytes(1, 4, isPrintable);
    case MountFault::ShortReply:
        return reply.left(1) + data.left(data.size() / 2) + '\r';
    case MountFault::NoEnd:
        return reply.left(reply.size() - 1);
    default:
        return reply;
    }
}

QByteArray SimMountController::strayBytes(int fewest, int most, bool (*allowed)(char)) {
    const int count = std::uniform_int_distribution<int>(fewest, most)(random);
    std::uniform_int_distribution<int> anyByte(0, 255);
    QByteArray bytes;
    while (bytes.size() < count) {
        const char c = char(anyByte(random));
        if (allowed(c))
            bytes += c;
    }
    return bytes;
}

// Waits on the suite's clock; false when woken to shut down.
bool SimMountController::waitUntil(std::int64_t clockMs) {
    pollfd wake{wakeFds[0], POLLIN, 0};
    for (;;) {
        const std::int64_t leftMs = clockMs - Clock::nowMs();
        if (leftMs <= 0)
            return true;
        // Short real waits, so a change in the clock's pace is followed.
        const int realMs = int(std::min<unsigned long>(Clock::realMs(leftMs), 50));
        if (poll(&wake, 1, realMs) > 0)
            return false;
    }
}

void SimMountController::stopReader() {
    const char stop = 'x';
    (void)!::write(wakeFds[1], &stop, 1);
    reader.join();
}

// Closing both ends makes the program's reads and writes on the port fail, as on a pulled
// cable; the port leaves the list with it.
void SimMountController::unplug() {
    if (!isValid())
        return;
    SerialPorts::removeSimulated(slavePath);
    stopReader();
    if (slaveFd >= 0)
        ::close(slaveFd);
    ::close(masterFd);
    slaveFd = -1;
    masterFd = -1;
}
