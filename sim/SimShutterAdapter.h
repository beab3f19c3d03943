#pragma once

#include "SimSerialLine.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <cstdint>
#include <memory>
#include <mutex>

// The USB shutter adapter: a serial line listed with the adapter's USB identifiers. It records
// every byte the program sends and how long (on the suite's clock) the shutter stayed open
// between "1" and "0".
class SimShutterAdapter {
public:
    SimShutterAdapter();

    // False when no pseudo-terminal could be had; the adapter is then not listed.
    bool isValid() const { return line->isOpen(); }
    // The slave side, which the program opens as the adapter's port.
    QString portLocation() const { return line->location(); }

    QByteArray received() const;
    bool isShutterOpen() const;
    // Durations in clock milliseconds, one for each "1" followed by a "0".
    QVector<std::int64_t> openTimesMs() const;

private:
    void take(char byte);

    mutable std::mutex mutex;
    QByteArray bytes;
    bool open = false;
    std::int64_t openedAtMs = 0;
    QVector<std::int64_t> openTimes;
    std::unique_ptr<SimSerialLine> line; // last: its reader stops before the rest goes
};
