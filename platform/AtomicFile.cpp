#include "AtomicFile.h"

#include "DebugLog.h"

#include <QSaveFile>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

bool AtomicFile::syncToDisk(QSaveFile& file) {
    if (!file.flush())
        return false;
#ifdef Q_OS_WIN
    return ::_commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

AtomicFile::Result AtomicFile::write(const QString& hostPath, const QByteArray& content) {
    QSaveFile file(hostPath);
    // Unbuffered, so that a short write (a full disk) shows in write()'s count.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return OpenFailed;
    if (file.write(content) != content.size() || !syncToDisk(file)) {
        file.cancelWriting();
        file.commit();
        return WriteFailed;
    }
    return file.commit() ? Written : WriteFailed;
}

bool AtomicFile::writeLogged(const QString& hostPath, const QByteArray& content) {
    switch (write(hostPath, content)) {
    case Written:
        return true;
    case OpenFailed:
        debugLog("file open error");
        break;
    case WriteFailed:
        debugLog("file write error");
        break;
    }
    return false;
}
