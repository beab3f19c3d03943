#include "MainProgramStart.h"

#include "ChildProcess.h"
#include "DebugLog.h"

namespace {

MainProgramStart::Runner runner;

} // namespace

QString MainProgramStart::programPath(const QString& launcherFile) {
    return launcherFile.left(launcherFile.lastIndexOf('\\')) + "\\Vesperix.exe";
}

bool MainProgramStart::run(const QString& launcherFile, int mode) {
    const QString program = programPath(launcherFile);
    debugLog("%s", qUtf8Printable(program));
    // A missing program would otherwise return at once with nothing to tell the user why.
    if (!ChildProcess::programExists(program)) {
        debugLog("spawnl error %s", qUtf8Printable(program));
        return false;
    }
    const QStringList arguments = mode == 1 ? QStringList{"d"} : QStringList{};
    if (runner)
        runner(program, arguments);
    else
        ChildProcess::runAndWait(program, arguments);
    return true;
}

void MainProgramStart::setRunner(Runner replacement) {
    runner = std::move(replacement);
}
