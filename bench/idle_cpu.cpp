// How much processor the programs use while they sit idle on the simulated observatory: the
// main program with its camera, again with a controller connected (polled every 100 ms), and
// the polar program without a camera. Each is started, given time to come up, then its own
// CPU accounting is read over 10 s. Prints one line a run; exits 1 when a share is 1 % of one
// core or more, or the controller costs half a percentage point or more.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int measuredSeconds = 10;

// User plus system time of a process, in clock ticks.
long cpuTicks(qint64 pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields.at(11).toLong() + fields.at(12).toLong() : -1;
}

// The share of one core, in percent, that the program uses idle; negative when it did not run.
double idleShare(const QString& program, const QString& cameras, bool gamepad) {
    QTemporaryDir drives;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VESPERIX_SIM", "1");
    environment.insert("VESPERIX_SIM_CAMERAS", cameras);
    environment.insert("VESPERIX_DRIVES", drives.path());
    environment.insert("VESPERIX_SIM_GAMEPAD", gamepad ? "1" : "0");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QCoreApplication::applicationDirPath() + "/../bin/" + program, QStringList());
    if (!process.waitForStarted())
        return -1;
    QThread::sleep(3); // start-up: catalogues, camera list
    const long before = cpuTicks(process.processId());
    QThread::sleep(measuredSeconds);
    const long after = cpuTicks(process.processId());
    process.kill();
    process.waitForFinished();
    if (before < 0 || after < 0)
        return -1;
    return 100.0 * double(after - before) / double(sysconf(_SC_CLK_TCK)) / measuredSeconds;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const struct {
        const char* program;
        const char* cameras;
        bool gamepad;
        const char* figure;
    } programs[] = {{"Vesperix", "ASI294MC", false, "IdleCpu"},
                    {"Vesperix", "ASI294MC", true, "IdleCpuGamepad"},
                    {"Axilo", "", false, "IdleCpuAxilo"}};
    bool allIdle = true;
    double previous = -1; // the run before, which the controller's run is compared with
    for (const auto& idle : programs) {
        const double percent = idleShare(idle.program, idle.cameras, idle.gamepad);
        if (percent < 0)
            std::printf("%s: %s did not run\n", idle.figure, idle.program);
        else
            std::printf("%-14s %22.2f %% of one core over %d s (limit 1 %%)\n", idle.figure,
                        percent, measuredSeconds);
        allIdle = allIdle && percent >= 0 && percent < 1.0;
        if (idle.gamepad && previous >= 0 && percent >= 0) {
            std::printf("%-14s %22.2f percentage points for the controller (limit 0.5)\n",
                        "IdleCpuGamepadCost", percent - previous);
            allIdle = allIdle && percent - previous < 0.5;
        }
        previous = percent;
    }
    return allIdle ? 0 : 1;
}
