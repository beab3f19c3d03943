#pragma once

#include <QString>
#include <QVector>
#include <cstdint>

// One serial port as the port list shows it. Real ports come from the system, simulated ones
// (pseudo-terminals) carry the identifiers of the device they stand in for.
struct SerialPortDescription {
    QString portName;
    QString systemLocation; // what QSerialPort opens
    QString description;
    QString manufacturer;
    QString serialNumber;
    QString location;
    bool hasVendorId = false;
    std::uint16_t vendorId = 0;
    bool hasProductId = false;
    std::uint16_t productId = 0;
};

// The one place ports are listed, so the simulator can add its own.
class SerialPorts {
public:
    // The system's ports in the order it reports them, then the simulated ones.
    static QVector<SerialPortDescription> available();

    // Process-wide and thread-safe.
    static void addSimulated(const SerialPortDescription& port);
    // Removes the simulated port with that system location.
    static void removeSimulated(const QString& systemLocation);
    static void clearSimulated();
};
