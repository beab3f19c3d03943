#pragma once

#include <QtGlobal>

class QFileDevice;

// Moves one piece of a file into another. Linux copies it inside the kernel, without
// bringing the bytes up into the program and down again; elsewhere it goes through a buffer.
class FileChunk {
public:
    // Copies up to `bytes` from the source's current position to the target's. Both are open
    // unbuffered. The bytes copied, 0 at the end of the source, -1 on an error (a full disk).
    static qint64 copy(QFileDevice& source, QFileDevice& target, qint64 bytes);
};
