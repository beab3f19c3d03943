#include "BenchData.h"

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
