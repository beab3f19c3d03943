#include "LogRecorder.h"

#include "DebugLog.h"

LogRecorder::LogRecorder()
    : sinkId(DebugLog::attachSink([this](const QString& line) {
        QMutexLocker lock(&mutex);
        recorded << line;
    })) {}

LogRecorder::~LogRecorder() {
    DebugLog::detachSink(sinkId);
}

QStringList LogRecorder::lines() const {
    QMutexLocker lock(&mutex);
    return recorded;
}
