#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <sys/types.h>

class QProcess;
struct SolverArguments;

// One run of astrometry.net's solve-field on a copy of the frame, in a temporary folder that
// takes all its files and goes with this object. solve-field runs as the head of a process group
// of its own, so that at the wall-clock limit, or when the adapter is told to stop, the whole
// tree it started (a shell, astrometry-engine) is ended with it.
class SolveFieldRun {
public:
    enum Outcome {
        Finished, // solve-field ended by itself, with or without a solution
        Missing,  // solve-field could not be started
        TimedOut,
        Stopped, // the adapter was told to stop (SIGTERM, SIGINT, SIGHUP)
        NoFolder // the temporary folder or the copy of the frame could not be made
    };

    SolveFieldRun();
    ~SolveFieldRun();
    SolveFieldRun(const SolveFieldRun&) = delete;
    SolveFieldRun& operator=(const SolveFieldRun&) = delete;

    // solve-field's arguments for a frame `imageWidth` pixels wide; every file it writes goes
    // into `folder`. The scale is searched within 10 % of what the optics give.
    static QStringList arguments(const SolverArguments& request, int imageWidth,
                                 const QString& image, const QString& folder, int cpuSeconds);

    // From then on SIGTERM, SIGINT and SIGHUP end a running solve-field's group at once and make
    // run() return Stopped, instead of ending the adapter and leaving solve-field behind.
    static void stopOnSignals();

    // The wall-clock limit: VESPERIX_SOLVER_TIMEOUT seconds, 60 when unset or not a positive
    // number.
    static double limitSeconds();

    Outcome run(const SolverArguments& request, int imageWidth, double limitSeconds);

    // The solution, present only when solve-field solved the frame.
    QString wcsPath() const;
    int exitCode() const { return exit; }
    // The last line solve-field wrote, for the adapter's own message.
    QString lastOutputLine() const;

private:
    // A small process outside both groups that cleans up after the adapter if it dies while
    // solve-field runs: a SIGKILL right after the SIGTERM can leave it no time to do so itself.
    void startGuard();
    // Tells the guard that all is done, and lets it go.
    void endGuard();
    void endGroup();

    QTemporaryDir folder;
    std::unique_ptr<QProcess> process;
    pid_t group = 0; // solve-field's process id and group
    pid_t guard = 0;
    int guardPipe = -1;
    int exit = -1;
};
