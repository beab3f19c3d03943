#include "SimMountController.h"

#include "Clock.h"
#include "DebugLog.h"

#include <algorithm>
#include <cerrno>

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

// ":I1" or ":I2" with its six digits.
int periodChannel(const QByteArray& command) {
    if (command.size() != 9 || !command.startsWith(":I"))
        return -1;
    return command[2] == '1' ? 0 : command[2] == '2' ? 1 : -1;
}

} // namespace

SimMountController::SimMountController() {
    SerialPortDescription port;
    port.description = QStringLiteral("Mount Controller");
    port.manufacturer = QStringLiteral("Vesperix Simulator");
    // Non-blocking: a program that never reads its replies must not stall the controller.
    line = std::make_unique<SimSerialLine>(
        port,
        [this](char byte) {
            QByteArray command;
            return !takeByte(byte, &command) || answer(command);
        },
        true);
}

SimMountController::~SimMountController() = default;

void SimMountController::setReplyDelayMs(int ms) {
    replyDelayMs = ms;
}

void SimMountController::setFault(MountFault newFault, int commands) {
    debugLog("mount controller: fault %d for %d commands", int(newFault), commands);
    if (newFault == MountFault::Unplugged) {
        line->close();
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
    else if (active == MountFault::DeafToRates && periodChannel(command) >= 0 &&
             motors.running(periodChannel(command), receivedMs))
        reply = "=\r";
    else if (active != MountFault::Silent)
        reply = misshape(active, motors.take(command, receivedMs));
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
    if (!line->waitUntil(receivedMs + delayMs))
        return false;
    const bool written = line->write(reply);
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
