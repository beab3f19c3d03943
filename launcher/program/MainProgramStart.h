#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Starting the main program from the launcher's own folder and waiting until it ends.
class MainProgramStart {
public:
    // Starts a program and waits for it; ChildProcess::runAndWait unless a test replaced it.
    using Runner = std::function<int(const QString& program, const QStringList& arguments)>;

    // "<folder>\Vesperix.exe" beside the launcher's own file (both in Windows form).
    static QString programPath(const QString& launcherFile);

    // Runs the main program, with the single argument "d" (digital-camera mode) when `mode`
    // is 1, and returns when it ends. False, with the path logged, when it is not there.
    static bool run(const QString& launcherFile, int mode);

    // nullptr puts ChildProcess::runAndWait back.
    static void setRunner(Runner runner);
};
