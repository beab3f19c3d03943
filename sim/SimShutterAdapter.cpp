#include "SimShutterAdapter.h"

#include "Clock.h"
#include "DebugLog.h"
#include "SerialPorts.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

SimShutterAdapter::SimShutterAdapter() {
    masterFd = posix_openpt(O_RDWR | O_NOCTTY);
    if (masterFd < 0 || grantpt(masterFd) != 0 || unlockpt(masterFd) != 0 || pipe(wakeFds) != 0) {
        debugLog("shutter adapter: no pseudo-terminal (errno %d)", errno);
        if (masterFd >= 0)
            ::close(masterFd);
        masterFd = -1;
        return;
    }
    slavePath = QString::fromLocal8Bit(ptsname(masterFd));
    slaveFd = ::open(ptsname(masterFd), O_RDWR | O_NOCTTY);
    if (slaveFd >= 0) {
        // Raw from the start: no echo back to the program, no waiting for a line end.
        termios tio;
        if (tcgetattr(slaveFd, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(slaveFd, TCSANOW, &tio);
        }
    }

    SerialPortDescription port;
    port.portName = slavePath.mid(5); // pts/N, as the system names it
    port.systemLocation = slavePath;
    port.location = slavePath;
    port.description = QStringLiteral("USB Shutter Adapter");
    port.manufacturer = QStringLiteral("Vesperix Simulator");
    port.serialNumber = QStringLiteral("SIM-SHUTTER-1");
    port.hasVendorId = true;
    port.vendorId = 0x04D8;
    port.hasProductId = true;
    port.productId = 0xE53F;
    SerialPorts::addSimulated(port);

    reader = std::thread([this] { readLoop(); });
}

SimShutterAdapter::~SimShutterAdapter() {
    if (!isValid())
        return;
    SerialPorts::removeSimulated(slavePath);
    const char stop = 'x';
    (void)!::write(wakeFds[1], &stop, 1);
    reader.join();
    ::close(wakeFds[0]);
    ::close(wakeFds[1]);
    if (slaveFd >= 0)
        ::close(slaveFd);
    ::close(masterFd);
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

void SimShutterAdapter::readLoop() {
    pollfd fds[2] = {{masterFd, POLLIN, 0}, {wakeFds[0], POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        if (fds[0].revents & POLLIN) {
            char buffer[64];
            const ssize_t n = ::read(masterFd, buffer, sizeof buffer);
            for (ssize_t i = 0; i < n; ++i)
                take(buffer[i]);
        } else if (fds[0].revents) {
            // No slave open (only possible if ours failed): wait for the stop request.
            fds[0].fd = -1;
        }
    }
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
