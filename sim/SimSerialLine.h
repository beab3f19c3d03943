#pragma once

#include "SerialPorts.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <thread>

// A serial device of the simulated observatory: a pseudo-terminal whose slave side is listed
// among the serial ports for the program to open. The slave is raw (no echo, CR stays CR) and
// one end of it stays open here, so the master sees no hang-up between users. A reader thread
// hands every byte the program writes to the device.
class SimSerialLine {
public:
    // `port` names the device in the list (its locations are filled in); `take` gets each
    // byte and returns false to stop reading. A non-blocking line drops what nobody reads
    // instead of stalling the device.
    SimSerialLine(const SerialPortDescription& port, std::function<bool(char)> take,
                  bool nonBlocking);
    ~SimSerialLine();
    SimSerialLine(const SimSerialLine&) = delete;
    SimSerialLine& operator=(const SimSerialLine&) = delete;

    // False when no pseudo-terminal could be had, or after close().
    bool isOpen() const { return masterFd >= 0; }
    // The slave side, which the program opens.
    QString location() const { return slavePath; }

    // To the program; false when the bytes could not all go.
    bool write(const QByteArray& bytes);
    // Waits on the suite's clock, from the reader thread; false when the line closes meanwhile.
    bool waitUntil(std::int64_t clockMs);
    // Off the list, the reader stopped and both ends closed: the program's reads and writes
    // on the port fail, as on a pulled cable.
    void close();

private:
    void readLoop();

    std::function<bool(char)> take;
    int masterFd = -1;
    int slaveFd = -1;
    int wakeFds[2] = {-1, -1};
    QString slavePath;
    std::thread reader;
};
