#pragma once

#include <QMutex>
#include <QStringList>

// Records every debug-log line written while it lives.
class LogRecorder {
public:
    LogRecorder();
    ~LogRecorder();
    LogRecorder(const LogRecorder&) = delete;
    LogRecorder& operator=(const LogRecorder&) = delete;

    QStringList lines() const;
    bool contains(const QString& line) const { return lines().contains(line); }

private:
    mutable QMutex mutex;
    QStringList recorded;
    int sinkId;
};
