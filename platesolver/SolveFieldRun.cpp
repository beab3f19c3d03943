#include "SolveFieldRun.h"

#include "SolverArguments.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int pollMs = 50;
constexpr int graceMs = 2000;
constexpr double defaultLimitSeconds = 60;

// Read by the signal handler: the running solve-field's process group, 0 when none runs.
std::atomic<pid_t> runningGroup{0};
volatile std::sig_atomic_t stopRequested = 0;
static_assert(std::atomic<pid_t>::is_always_lock_free, "used in a signal handler");

void onStopSignal(int) {
    stopRequested = 1;
    // At once, not at the next poll: whoever sent the signal may follow with SIGKILL.
    const pid_t group = runningGroup.load();
    if (group > 0)
        ::kill(-group, SIGTERM);
}

// Starts the child as the leader of a new process group.
class GroupLeader : public QProcess {
protected:
    void setupChildProcess() override { ::setpgid(0, 0); }
};

// The guard's life between fork and exit: only async-signal-safe calls. The adapter writes it a
// byte when it has done with solve-field. The pipe's end without that byte means the adapter
// died with solve-field running (as when a SIGKILL follows the SIGTERM at once): the guard then
// ends solve-field's group and removes the work folder in its place.
[[noreturn]] void guardRun(pid_t group, int pipeEnd, const char* folder) {
    // Out of the adapter's group, which whoever started the adapter may end whole.
    ::setpgid(0, 0);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ::signal(signal, SIG_IGN);
    // Holding none of the adapter's files, so that no reader waits on this process.
    ::close_range(0, unsigned(pipeEnd) - 1, 0);
    ::close_range(unsigned(pipeEnd) + 1, ~0U, 0);
    char byte;
    ssize_t got;
    while ((got = ::read(pipeEnd, &byte, 1)) < 0 && errno == EINTR) {
    }
    if (got == 1)
        ::_exit(0);
    ::kill(-group, SIGKILL);
    ::execl("/bin/rm", "rm", "-rf", "--", folder, static_cast<char*>(nullptr));
    ::_exit(1);
}

QString number(double value) {
    return QString::number(value, 'g', 12);
}

} // namespace

SolveFieldRun::SolveFieldRun()
    : process(std::make_unique<GroupLeader>()) {}

SolveFieldRun::~SolveFieldRun() = default;

QStringList SolveFieldRun::arguments(const SolverArguments& request, int imageWidth,
                                     const QString& image, const QString& folder, int cpuSeconds) {
    const double scale = request.expectedScale();
    QStringList a{"--no-plots", "--overwrite", "--crpix-center", "--scale-units", "arcsecperpix"};
    a << "--dir" << folder << "--temp-dir" << folder;
    a << "--scale-low" << number(0.9 * scale) << "--scale-high" << number(1.1 * scale);
    a << "--ra" << number(request.ra) << "--dec" << number(request.dec);
    a << "--radius" << number(request.radiusDeg);
    a << "--cpulimit" << QString::number(cpuSeconds);
    // Only the solution is read: the other outputs would cost time for nothing.
    for (const char* output : {"--new-fits", "--index-xyls", "--rdls", "--corr", "--match"})
        a << output << "none";
    if (imageWidth > 2000)
        a << "--downsample" << QString::number(2);
    a << image;
    return a;
}

void SolveFieldRun::stopOnSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

double SolveFieldRun::limitSeconds() {
    bool ok = false;
    const double seconds = qEnvironmentVariable("VESPERIX_SOLVER_TIMEOUT").toDouble(&ok);
    return ok && seconds > 0 && std::isfinite(seconds) ? seconds : defaultLimitSeconds;
}

SolveFieldRun::Outcome SolveFieldRun::run(const SolverArguments& request, int imageWidth,
                                          double limitSeconds) {
    if (!folder.isValid())
        return NoFolder;
    // A copy under a plain name: the frame's own path may hold spaces or a leading dash, and the
    // main program may write a new frame while this one is solved.
    const QString suffix = QFileInfo(request.imagePath).suffix();
    const QString image = folder.filePath(suffix.isEmpty() ? "frame" : "frame." + suffix);
    if (!QFile::copy(request.imagePath, image))
        return NoFolder;
    if (stopRequested)
        return Stopped;

    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardOutputFile(folder.filePath("solve-field.log"));
    const int cpuSeconds = int(std::ceil(limitSeconds));
    process->start("solve-field", arguments(request, imageWidth, image, folder.path(), cpuSeconds));
    if (!process->waitForStarted(-1))
        return Missing;
    group = pid_t(process->processId());
    runningGroup = group;
    startGuard();

    QElapsedTimer clock;
    clock.start();
    Outcome outcome = Finished;
    while (!stopRequested && !process->waitForFinished(pollMs)) {
        if (clock.elapsed() >= limitSeconds * 1000) {
            outcome = TimedOut;
            break;
        }
    }
    // Also when solve-field has already ended of the SIGTERM the handler passed on.
    if (stopRequested)
        outcome = Stopped;
    if (outcome != Finished) {
        endGroup();
        // Now, not on the way out: whoever stopped the adapter may end it any moment.
        folder.remove();
    }
    endGuard();
    runningGroup = 0;
    exit = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    return outcome;
}

void SolveFieldRun::startGuard() {
    const QByteArray folderPath = QFile::encodeName(folder.path());
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return;
    const pid_t pid = ::fork();
    if (pid == 0)
        guardRun(group, ends[0], folderPath.constData());
    ::close(ends[0]);
    if (pid < 0) {
        ::close(ends[1]);
        return;
    }
    // Also here, so that the guard is out of the adapter's group before anything signals it.
    ::setpgid(pid, pid);
    guard = pid;
    guardPipe = ends[1];
}

void SolveFieldRun::endGuard() {
    if (guard <= 0)
        return;
    const char done = 1;
    ::write(guardPipe, &done, 1);
    ::close(guardPipe);
    ::waitpid(guard, nullptr, 0);
    guard = 0;
}

void SolveFieldRun::endGroup() {
    if (group <= 0)
        return;
    ::kill(-group, SIGTERM);
    process->waitForFinished(graceMs);
    // Whatever ignored the request, and children left behind by a solve-field already gone.
    ::kill(-group, SIGKILL);
    process->waitForFinished(-1);
}

QString SolveFieldRun::wcsPath() const {
    const QString solved = folder.filePath("frame.solved");
    const QString wcs = folder.filePath("frame.wcs");
    return QFile::exists(solved) && QFile::exists(wcs) ? wcs : QString();
}

QString SolveFieldRun::lastOutputLine() const {
    QFile log(folder.filePath("solve-field.log"));
    if (!log.open(QIODevice::ReadOnly))
        return QString();
    const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
    return QString::fromLocal8Bit(lines.last().trimmed());
}
