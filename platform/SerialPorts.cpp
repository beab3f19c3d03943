#include "SerialPorts.h"

#include <QMutex>
#include <QSerialPortInfo>

namespace {

struct Simulated {
    QMutex mutex;
    QVector<SerialPortDescription> ports;
};

Simulated& simulated() {
    static Simulated s;
    return s;
}

SerialPortDescription describe(const QSerialPortInfo& info) {
    SerialPortDescription port;
    port.portName = info.portName();
    port.systemLocation = info.systemLocation();
    port.description = info.description();
    port.manufacturer = info.manufacturer();
    port.serialNumber = info.serialNumber();
    port.location = info.systemLocation();
    port.hasVendorId = info.hasVendorIdentifier();
    port.vendorId = info.vendorIdentifier();
    port.hasProductId = info.hasProductIdentifier();
    port.productId = info.productIdentifier();
    return port;
}

} // namespace

QVector<SerialPortDescription> SerialPorts::available() {
    QVector<SerialPortDescription> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports << describe(info);
    QMutexLocker lock(&simulated().mutex);
    ports << simulated().ports;
    return ports;
}

void SerialPorts::addSimulated(const SerialPortDescription& port) {
    QMutexLocker lock(&simulated().mutex);
    simulated().ports << port;
}

void SerialPorts::removeSimulated(const QString& systemLocation) {
    QMutexLocker lock(&simulated().mutex);
    auto& ports = simulated().ports;
    for (int i = ports.size() - 1; i >= 0; --i)
        if (ports[i].systemLocation == systemLocation)
            ports.remove(i);
}

void SerialPorts::clearSimulated() {
    QMutexLocker lock(&simulated().mutex);
    simulated().ports.clear();
}
