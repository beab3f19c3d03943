#pragma once

#include <QMutex>
#include <QStringList>

// What the program asked of the simulated libraries, in order, for tests that check the
// call sequence. Off unless a test turns it on, so live view does not fill memory.
class SimCallLog {
public:
    void setRecording(bool on);
    void record(const QString& call);
    QStringList calls() const;
    void clear();

private:
    mutable QMutex mutex;
    bool recording = false;
    QStringList recorded;
};
