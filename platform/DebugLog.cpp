#include "DebugLog.h"

#include "HostPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QMutex>
#include <QStringList>
#include <cstdarg>
#include <cstdio>

namespace {

// Lines kept in memory until the file opens; older ones beyond this are dropped.
constexpr int maxPendingLines = 2000;

struct LogState {
    QMutex mutex;
    QFile file;
    QStringList pending;
    QMap<int, DebugLog::Sink> sinks;
    int nextSinkId = 1;
    bool echo = true;
};

LogState& state() {
    static LogState* s = new LogState; // never freed: threads may log until the process ends
    return *s;
}

void writeLocked(LogState& s, const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    if (s.echo)
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    if (s.file.isOpen()) {
        s.file.write(bytes);
        s.file.flush();
        return;
    }
    s.pending << line;
    if (s.pending.size() > maxPendingLines)
        s.pending.removeFirst();
}

} // namespace

void DebugLog::openFile(const QString& windowsPath) {
    LogState& s = state();
    QMutexLocker lock(&s.mutex);
    if (s.file.isOpen())
        s.file.close();
    const QString hostPath = HostPath::toHost(windowsPath);
    QDir().mkpath(QFileInfo(hostPath).absolutePath());
    s.file.setFileName(hostPath);
    if (!s.file.open(QIODevice::Append)) {
        std::fprintf(stderr, "log file open error: %s\n", qPrintable(windowsPath));
        return;
    }
    for (const QString& line : qAsConst(s.pending))
        s.file.write(line.toUtf8() + '\n');
    s.pending.clear();
    s.file.flush();
}

int DebugLog::attachSink(Sink sink) {
    LogState& s = state();
    QMutexLocker lock(&s.mutex);
    const int id = s.nextSinkId++;
    s.sinks.insert(id, std::move(sink));
    return id;
}

void DebugLog::detachSink(int id) {
    LogState& s = state();
    QMutexLocker lock(&s.mutex);
    s.sinks.remove(id);
}

void DebugLog::writeLine(const QString& text) {
    const QString line = text.endsWith('\n') ? text.chopped(1) : text;
    LogState& s = state();
    QMap<int, Sink> sinks;
    {
        QMutexLocker lock(&s.mutex);
        writeLocked(s, line);
        sinks = s.sinks;
    }
    // Outside the lock, so that a sink may log in turn.
    for (const Sink& sink : qAsConst(sinks))
        sink(line);
}

void DebugLog::setStderrEcho(bool on) {
    LogState& s = state();
    QMutexLocker lock(&s.mutex);
    s.echo = on;
}

void debugLog(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const QString line = QString::vasprintf(format, args);
    va_end(args);
    DebugLog::writeLine(line);
}
