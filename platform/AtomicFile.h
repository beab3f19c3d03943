#pragma once

#include <QByteArray>
#include <QString>

class QSaveFile;

// Rewrites a whole file so that it is never left half-written: the content goes to a
// temporary file in the same folder, is flushed to the disk and then renamed over the old
// file. On any failure the old file stays as it was.
class AtomicFile {
public:
    enum Result { Written, OpenFailed, WriteFailed };

    static Result write(const QString& hostPath, const QByteArray& content);
    // The same for the settings files: a failure is logged as "file open error" or
    // "file write error".
    static bool writeLogged(const QString& hostPath, const QByteArray& content);

    // Flushes a file being saved and waits until the disk has it; for writers that stream
    // their content into a QSaveFile themselves.
    static bool syncToDisk(QSaveFile& file);
};
