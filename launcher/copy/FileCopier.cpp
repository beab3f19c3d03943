#include "FileCopier.h"

#include "AtomicFile.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QVector>

FileCopier::FileCopier(BetweenChunks betweenChunks)
    : betweenChunks(std::move(betweenChunks)) {}

FileCopier::Result FileCopier::copy(const QString& sourcePath,
                                    const QString& destinationPath) const {
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        return Failed;
    const qint64 size = source.size();
    const QDateTime modified = source.fileTime(QFileDevice::FileModificationTime);

    // Unsaved, a QSaveFile removes its temporary file when it goes out of scope.
    QSaveFile target(destinationPath);
    // Unbuffered, so that a short write (a full disk) shows in write()'s count.
    if (!target.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Failed;
    QVector<char> buffer(int(qBound<qint64>(1, size, chunkBytes)));
    qint64 copied = 0;
    for (;;) {
        const qint64 read = source.read(buffer.data(), buffer.size());
        if (read < 0)
            return Failed;
        if (read == 0)
            break;
        if (target.write(buffer.constData(), read) != read)
            return Failed;
        copied += read;
        if (betweenChunks && !betweenChunks())
            return Stopped;
    }
    if (copied != size || !target.setFileTime(modified, QFileDevice::FileModificationTime) ||
        !AtomicFile::syncToDisk(target))
        return Failed;
    return target.commit() ? Copied : Failed;
}
