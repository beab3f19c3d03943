#pragma once

#include <QString>
#include <functional>

// Copies one file so that the destination is either the old file or the whole new copy, never
// a part: the bytes go to a temporary file beside the destination, are synced to the disk,
// checked against the source's size and only then renamed over the old file. The copy keeps
// the source's modification time, as a copy on Windows does. The source is only read.
class FileCopier {
public:
    enum Result { Copied, Failed, Stopped };

    // Called between chunks, so that a window stays responsive during a large file; returning
    // false abandons the copy and keeps the old destination.
    using BetweenChunks = std::function<bool()>;

    static constexpr qint64 chunkBytes = 4 * 1024 * 1024;

    explicit FileCopier(BetweenChunks betweenChunks = {});

    // Both paths are host paths.
    Result copy(const QString& sourcePath, const QString& destinationPath) const;

private:
    BetweenChunks betweenChunks;
};
