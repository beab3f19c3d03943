#pragma once

#include <QByteArray>

// A reply of the mount controller: its data without the start marker and the end. `refused`
// when it came with "!" (an error digit as its data) rather than "=".
struct MountReply {
    QByteArray data;
    bool refused = false;
};

// Where the mount's commands go: one command, one reply.
class MountChannel {
public:
    virtual ~MountChannel() = default;
    // Sends the command (ending in CR) and waits for its reply; false when none came.
    virtual bool sendCommand(const QByteArray& command, MountReply* reply) = 0;
};

// The serial code's seconds counter, kept by the one-second timer of the capture.
class AuxCounter {
public:
    virtual ~AuxCounter() = default;
    virtual void startAuxCount() = 0;
    virtual void stopAuxCount() = 0;
    virtual int auxCount() const = 0;
};
