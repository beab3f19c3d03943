#pragma once

#include "MountChannel.h"

// Reads one reply of the mount controller a byte at a time: bytes before the start marker
// ("=", or "!" for a refusal) are noise and passed over; the data runs to a NUL, LF or CR.
// More data than the controller ever sends is no reply at all.
class MountReplyReader {
public:
    enum class State { Waiting, Reading, Done, TooLong };

    static constexpr int longestReply = 16;

    State take(char byte);
    State state() const { return current; }
    // The reply once Done.
    const MountReply& reply() const { return read; }

private:
    State current = State::Waiting;
    MountReply read;
};
