#include "SimCallLog.h"

void SimCallLog::setRecording(bool on) {
    QMutexLocker lock(&mutex);
    recording = on;
}

void SimCallLog::record(const QString& call) {
    QMutexLocker lock(&mutex);
    if (recording)
        recorded << call;
}

QStringList SimCallLog::calls() const {
    QMutexLocker lock(&mutex);
    return recorded;
}

void SimCallLog::clear() {
    QMutexLocker lock(&mutex);
    recorded.clear();
}
