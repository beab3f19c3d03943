// The mount's transaction on the simulated controller's serial line: ":j1" through
// sendCommand (the window's event processing and the reply reader included) beside the same
// bytes written, polled and read with plain system calls on a second line. With --timeout-cpu
// it prints instead the share of one core the window takes while a transaction waits for a
// reply that never comes.
#include "Clock.h"
#include "ComPort.h"
#include "MountLink.h"
#include "SimMountController.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The controller answers at once: the figures are the program's, not the line's.
SimMountController& quickController() {
    auto* sim = new SimMountController; // lives until the process ends
    sim->setReplyDelayMs(0);
    return *sim;
}

void openPort(ComPort& port, const SimMountController& sim) {
    port.mountPort.setPortName(sim.portLocation());
    port.isOpen = port.mountPort.open(QIODevice::ReadWrite) ? 1 : 0;
}

void BM_MountCommand(benchmark::State& state) {
    SimMountController& sim = quickController();
    ComPort port;
    openPort(port, sim);
    MountLink link(port, nullptr);
    MountReply reply;
    for (auto _ : state) {
        if (!link.sendCommand(":j1\r", &reply))
            state.SkipWithError("no reply");
        benchmark::DoNotOptimize(reply.data.data());
    }
}

void BM_MountCommand_Baseline(benchmark::State& state) {
    SimMountController& sim = quickController();
    const int fd = ::open(sim.portLocation().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    char reply[32];
    for (auto _ : state) {
        if (::write(fd, ":j1\r", 4) != 4)
            state.SkipWithError("write failed");
        size_t got = 0;
        while (got == 0 || reply[got - 1] != '\r') {
            pollfd in{fd, POLLIN, 0};
            if (poll(&in, 1, 1000) <= 0) {
                state.SkipWithError("no reply");
                break;
            }
            const ssize_t n = ::read(fd, reply + got, sizeof reply - got);
            if (n <= 0)
                break;
            got += size_t(n);
        }
        benchmark::DoNotOptimize(reply);
    }
    ::close(fd);
}

double threadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int timeoutCpu() {
    SimMountController& sim = quickController();
    sim.setFault(MountFault::Silent);
    ComPort port;
    openPort(port, sim);
    MountLink link(port, nullptr);
    MountReply reply;
    const std::int64_t start = Clock::nowMs();
    const double cpu = threadCpuSeconds();
    link.sendCommand(":j1\r", &reply);
    const double waited = (Clock::nowMs() - start) / 1000.0;
    std::printf("MountTimeoutCpu %.1f %% of one core over a %.1f s wait for no reply\n",
                100 * (threadCpuSeconds() - cpu) / waited, waited);
    return 0;
}

} // namespace

BENCHMARK(BM_MountCommand)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_MountCommand_Baseline)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--timeout-cpu") == 0)
        return timeoutCpu();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
