#include "FileCopier.h"

#include "AtomicFile.h"
#include "FileChunk.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>

FileCopier::FileCopier(BetweenChunks betweenChunks)
    : betweenChunks(std::move(betweenChunks)) {}

FileCopier::Result FileCopier::copy(const QString& sourcePath,
                                    const QString& destinationPath) const {
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return Failed;
    const qint64 size = source.size();
    const QDateTime modified = source.fileTime(QFileDevice::FileModificationTime);

    // Unsaved, a QSaveFile removes its temporary file when it goes out of scope.
    QSaveFile target(destinationPath);
    // Unbuffered: the chunks go straight to the files' handles.
    if (!target.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Failed;
    qint64 copied = 0;
    for (;;) {
        const qint64 chunk = FileChunk::copy(source, target, chunkBytes);
        if (chunk < 0)
            return Failed;
        if (chunk == 0)
            break;
        copied += chunk;
        if (betweenChunks && !betweenChunks())
            return Stopped;
    }
    if (copied != size || target.size() != size ||
        !target.setFileTime(modified, QFileDevice::FileModificationTime) ||
        !AtomicFile::syncToDisk(target))
        return Failed;
    return target.commit() ? Copied : Failed;
}
