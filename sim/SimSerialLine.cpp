#include "SimSerialLine.h"

#include "Clock.h"
#include "DebugLog.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

SimSerialLine::SimSerialLine(const SerialPortDescription& port, std::function<bool(char)> onByte,
                             bool nonBlocking)
    : take(std::move(onByte)) {
    masterFd = posix_openpt(O_RDWR | O_NOCTTY);
    if (masterFd < 0 || grantpt(masterFd) != 0 || unlockpt(masterFd) != 0 || pipe(wakeFds) != 0) {
        debugLog("%s: no pseudo-terminal (errno %d)", port.description.toUtf8().constData(), errno);
        if (masterFd >= 0)
            ::close(masterFd);
        masterFd = -1;
        return;
    }
    if (nonBlocking)
        fcntl(masterFd, F_SETFL, fcntl(masterFd, F_GETFL) | O_NONBLOCK);
    slavePath = QString::fromLocal8Bit(ptsname(masterFd));
    slaveFd = ::open(ptsname(masterFd), O_RDWR | O_NOCTTY);
    if (slaveFd >= 0) {
        termios tio;
        if (tcgetattr(slaveFd, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(slaveFd, TCSANOW, &tio);
        }
    }
    SerialPortDescription listed = port;
    listed.portName = slavePath.mid(5); // pts/N, as the system names it
    listed.systemLocation = slavePath;
    listed.location = slavePath;
    SerialPorts::addSimulated(listed);
    reader = std::thread([this] { readLoop(); });
}

SimSerialLine::~SimSerialLine() {
    close();
    if (reader.joinable())
        reader.join();
    for (const int fd : wakeFds) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool SimSerialLine::write(const QByteArray& bytes) {
    return isOpen() && ::write(masterFd, bytes.constData(), size_t(bytes.size())) == bytes.size();
}

bool SimSerialLine::waitUntil(std::int64_t clockMs) {
    pollfd wake{wakeFds[0], POLLIN, 0};
    for (;;) {
        const std::int64_t leftMs = clockMs - Clock::nowMs();
        if (leftMs <= 0)
            return true;
        // Short real waits, so a change in the clock's pace is followed.
        const int realMs = int(std::min<unsigned long>(Clock::realMs(leftMs), 50));
        if (poll(&wake, 1, realMs) > 0)
            return false;
    }
}

void SimSerialLine::close() {
    if (!isOpen())
        return;
    SerialPorts::removeSimulated(slavePath);
    const char stop = 'x';
    (void)!::write(wakeFds[1], &stop, 1);
    if (reader.joinable() && reader.get_id() != std::this_thread::get_id())
        reader.join();
    if (slaveFd >= 0)
        ::close(slaveFd);
    ::close(masterFd);
    slaveFd = -1;
    masterFd = -1;
}

void SimSerialLine::readLoop() {
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
            for (ssize_t i = 0; i < n; ++i) {
                if (!take(buffer[i]))
                    return;
            }
        } else if (fds[0].revents) {
            // No slave open (only possible if ours failed): wait for the stop request.
            fds[0].fd = -1;
        }
    }
}
