// How much processor the main program uses while it sits idle on the simulated observatory:
// it is started, given time to come up, then its own CPU accounting is read over 10 s.
// Prints one line; exits 1 when the share is 1 % of one core or more.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <unistd.h>

namespace {

// User plus system time of a process, in clock ticks.
long cpuTicks(qint64 pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields.at(11).toLong() + fields.at(12).toLong() : -1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir drives;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VESPERIX_SIM", "1");
    environment.insert("VESPERIX_SIM_CAMERAS", "ASI294MC");
    environment.insert("VESPERIX_DRIVES", drives.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.setStandardErrorFile(QProcess::nullDevice());
    program.start(QCoreApplication::applicationDirPath() + "/../bin/Vesperix", QStringList());
    if (!program.waitForStarted()) {
        std::printf("IdleCpu: the main program did not start\n");
        return 1;
    }
    QThread::sleep(3); // start-up: catalogues, camera list
    const long before = cpuTicks(program.processId());
    const int seconds = 10;
    QThread::sleep(seconds);
    const long after = cpuTicks(program.processId());
    program.kill();
    program.waitForFinished();
    if (before < 0 || after < 0) {
        std::printf("IdleCpu: the main program ended early\n");
        return 1;
    }
    const double percent = 100.0 * double(after - before) / double(sysconf(_SC_CLK_TCK)) / seconds;
    std::printf("IdleCpu %30.2f %% of one core over %d s (limit 1 %%)\n", percent, seconds);
    return percent < 1.0 ? 0 : 1;
}
