#include "MountReplyReader.h"

MountReplyReader::State MountReplyReader::take(char byte) {
    switch (current) {
    case State::Waiting:
        if (byte == '=' || byte == '!') {
            read.refused = byte == '!';
            current = State::Reading;
        }
        break;
    case State::Reading:
        if (byte == '\0' || byte == '\n' || byte == '\r')
            current = State::Done;
        else if (read.data.size() == longestReply)
            current = State::TooLong;
        else
            read.data.append(byte);
        break;
    case State::Done:
    case State::TooLong:
        break;
    }
    return current;
}
