#pragma once

#include "MountChannel.h"

#include <QStringList>

// A mount's motor controller standing still (9024000 counts a turn, a 64935 Hz timer) that
// answers every command; it records each command without its CR, but not the status and
// position polls.
class StandingController : public MountChannel {
public:
    QStringList sent;

    bool sendCommand(const QByteArray& command, MountReply* reply) override {
        const char letter = command.at(1);
        reply->refused = false;
        reply->data = letter == 'a'   ? "00B289" // 9024000
                      : letter == 'b' ? "A7FD00" // 64935
                      : letter == 'g' ? "10"
                      : letter == 'f' ? "101" // standing
                                      : QByteArray("000080");
        if (letter != 'f' && letter != 'j')
            sent << QString::fromLatin1(command.chopped(1));
        return true;
    }
};
