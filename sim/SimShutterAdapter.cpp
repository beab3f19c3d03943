#include "SimShutterAdapter.h"

#include "Clock.h"

SimShutterAdapter::SimShutterAdapter() {
    SerialPortDescription port;
    port.description = QStringLiteral("USB Shutter Adapter");
    port.manufacturer = QStringLiteral("Vesperix Simulator");
    port.serialNumber = QStringLiteral("SIM-SHUTTER-1");
    port.hasVendorId = true;
    port.vendorId = 0x04D8;
    port.hasProductId = true;
    port.productId = 0xE53F;
    line = std::make_unique<SimSerialLine>(
        port,
        [this](char byte) {
            take(byte);
            return true;
        },
        false);
}

QByteArray SimShutterAdapter::received() const {
    std::lock_guard<std::mutex> lock(mutex);
    return bytes;
}

bool SimShutterAdapter::isShutterOpen() const {
    std::lock_guard<std::mutex> lock(mutex);
    return open;
}

QVector<std::int64_t> SimShutterAdapter::openTimesMs() const {
    std::lock_guard<std::mutex> lock(mutex);
    return openTimes;
}

void SimShutterAdapter::take(char byte) {
    const std::int64_t now = Clock::nowMs();
    std::lock_guard<std::mutex> lock(mutex);
    bytes.append(byte);
    if (byte == '1' && !open) {
        open = true;
        openedAtMs = now;
    } else if (byte == '0' && open) {
        open = false;
        openTimes << now - openedAtMs;
    }
}
