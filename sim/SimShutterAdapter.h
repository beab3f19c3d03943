#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

// The USB shutter adapter: a pseudo-terminal listed among the serial ports with the adapter's
// USB identifiers. It records every byte the program sends and how long (on the suite's
// clock) the shutter stayed open between "1" and "0".
class SimShutterAdapter {
public:
    SimShutterAdapter();
    ~SimShutterAdapter();
    SimShutterAdapter(const SimShutterAdapter&) = delete;
    SimShutterAdapter& operator=(const SimShutterAdapter&) = delete;

    // False when no pseudo-terminal could be had; the adapter is then not listed.
    bool isValid() const { return masterFd >= 0; }
    // The slave side, which the program opens as the adapter's port.
    QString portLocation() const { return slavePath; }

    QByteArray received() const;
    bool isShutterOpen() const;
    // Durations in clock milliseconds, one for each "1" followed by a "0".
    QVector<std::int64_t> openTimesMs() const;

private:
    void readLoop();
    void take(char byte);

    int masterFd = -1;
    int slaveFd = -1; // kept open so the master does not see a hang-up between users
    int wakeFds[2] = {-1, -1};
    QString slavePath;
    std::thread reader;

    mutable std::mutex mutex;
    QByteArray bytes;
    bool open = false;
    std::int64_t openedAtMs = 0;
    QVector<std::int64_t> openTimes;
};
