#pragma once

#include "SimEquatorialMount.h"
#include "SimMountCore.h"
#include "SimSerialLine.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <random>

// What the simulated controller can do wrong, for the program's reliability tests.
enum class MountFault {
    None,
    Silent,           // no reply, and the command is not carried out
    Garbage,          // "=", printable bytes that are not hex digits, CR
    NoiseBeforeReply, // a few stray bytes (never "=" or "!"), then the right reply
    BytesAfterCr,     // the right reply, then a few stray bytes
    ErrorReply,       // "!0", and the command is not carried out
    ShortReply,       // the reply's data cut to its first half
    NoEnd,            // "=" and the data, no CR
    LateReply,        // the right reply 5 s of clock late, when the next command is waiting
    NeverStops,       // ":K" is answered but the axis runs on
    DeafToRates,      // ":I" to a running axis is answered but its speed stays (guide pulses)
    Unplugged,        // the port is gone for good
};

// The mount's motor controller on a serial line: a pseudo-terminal listed among the serial
// ports as "Mount Controller", taking commands from ":" to CR and answering each in one write
// after the time the exchange takes at 9600 baud on the suite's clock. Its motors turn the
// axes of a German equatorial mount.
class SimMountController {
public:
    SimMountController();
    ~SimMountController();
    SimMountController(const SimMountController&) = delete;
    SimMountController& operator=(const SimMountController&) = delete;

    // False when no pseudo-terminal could be had or after an unplug.
    bool isValid() const { return line->isOpen(); }
    // The slave side, which the program opens as the mount's port.
    QString portLocation() const { return line->location(); }

    // Clock milliseconds from a command's CR to its reply; negative restores the line's time.
    void setReplyDelayMs(int ms);
    // For the next `commands` commands; -1 keeps it until clearFault(). Unplugged acts at once
    // and for good.
    void setFault(MountFault fault, int commands = -1);
    void clearFault();

    // Each command as received from ":" without its CR, and beside it the bytes sent back
    // (empty when none were).
    QStringList commands() const;
    QStringList replies() const;
    int errorReplies() const;
    void clearRecords();

    SimMountCore& core() { return motors; }
    // The mount the controller's motors turn.
    SimEquatorialMount& mount() { return equatorial; }

private:
    bool takeByte(char byte, QByteArray* command);
    bool answer(const QByteArray& command);
    MountFault faultForNextCommand();
    QByteArray misshape(MountFault kind, const QByteArray& reply);
    QByteArray strayBytes(int fewest, int most, bool (*allowed)(char));

    SimMountCore motors;
    SimEquatorialMount equatorial{motors};

    // Only the reader thread touches these.
    QByteArray pending; // the command being received, from its ":"
    bool lineFull = false;
    std::mt19937 random{20240607};

    std::atomic<int> replyDelayMs{-1};
    mutable std::mutex mutex;
    MountFault fault = MountFault::None;
    int faultCommands = 0;
    QStringList commandLog;
    QStringList replyLog;
    std::unique_ptr<SimSerialLine> line; // last: its reader stops before the rest goes
};
