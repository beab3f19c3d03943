#pragma once

#include "MountChannel.h"

#include <cstdint>

class ComPort;

// The transaction on the mount's serial line: drop what is waiting, write the command, read
// the reply from its "=" or "!" to its CR. The window keeps answering all the while: pending
// events are processed between short waits on the port. A transaction ends within four
// seconds of the clock, the write included, or when the timer's seconds counter passes three.
class MountLink : public MountChannel {
public:
    // The mount's port of the port dialog; `aux` may be null.
    MountLink(ComPort& port, AuxCounter* aux);

    // False on a timeout ("Seial Time Out"), a port that is not open or went away, a reply
    // longer than any the controller sends, or while another transaction waits: one slot
    // running inside another's wait must not take its reply.
    bool sendCommand(const QByteArray& command, MountReply* reply) override;

    bool inTransaction() const { return waiting; }

    static constexpr int timeoutMs = 4000;

private:
    bool writeCommand(const QByteArray& command, std::int64_t deadline);
    bool readReply(MountReply* reply, std::int64_t deadline);
    bool timedOut(std::int64_t deadline, bool counting) const;
    bool portLost() const;

    ComPort& comPort;
    AuxCounter* aux;
    bool waiting = false;
};
