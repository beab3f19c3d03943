#include "FileChunk.h"

#include <QFileDevice>
#include <QVector>
#include <cerrno>

#ifdef Q_OS_LINUX
#include <sys/sendfile.h>
#endif

namespace {

qint64 copyThroughBuffer(QFileDevice& source, QFileDevice& target, qint64 bytes) {
    QVector<char> buffer(static_cast<int>(bytes));
    const qint64 read = source.read(buffer.data(), bytes);
    if (read <= 0)
        return read;
    return target.write(buffer.constData(), read) == read ? read : -1;
}

} // namespace

qint64 FileChunk::copy(QFileDevice& source, QFileDevice& target, qint64 bytes) {
#ifdef Q_OS_LINUX
    qint64 copied = 0;
    while (copied < bytes) {
        const ssize_t sent =
            ::sendfile(target.handle(), source.handle(), nullptr, size_t(bytes - copied));
        if (sent < 0 && errno == EINTR)
            continue;
        // A file system that cannot send leaves both positions where they were.
        if (sent < 0 && copied == 0 && (errno == EINVAL || errno == ENOSYS))
            return copyThroughBuffer(source, target, bytes);
        if (sent < 0)
            return -1;
        if (sent == 0)
            break;
        copied += sent;
    }
    return copied;
#else
    return copyThroughBuffer(source, target, bytes);
#endif
}
