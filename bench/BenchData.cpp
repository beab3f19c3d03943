#include "BenchData.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

QString catalogueFolder() {
    const QString fromEnvironment = qEnvironmentVariable("VESPERIX_BIN_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    std::vector<char> path(4096);
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0)
        return "bin";
    std::string exe(path.data(), std::size_t(length));
    exe.erase(exe.find_last_of('/')); // the program's folder
    exe.erase(exe.find_last_of('/') + 1);
    return QString::fromStdString(exe + "bin");
}

int runBenchmarks(int argc, char** argv, int minSeconds) {
    std::vector<char*> arguments(argv, argv + argc);
    std::string minTime = "--benchmark_min_time=" + std::to_string(minSeconds);
    if (std::none_of(argv, argv + argc, [](const char* a) {
            return std::strncmp(a, "--benchmark_min_time", 20) == 0;
        }))
        arguments.push_back(minTime.data());
    int count = int(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
