#include "ChildProcess.h"

#include "HostPath.h"
#include "LocalText.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#ifndef Q_OS_WIN
#include <csignal>
#include <unistd.h>
#endif

namespace {

constexpr int graceMs = 2000;

// Makes the child the leader of a new session and process group, so the whole tree it
// starts can be signalled at once.
class TreeProcess : public QProcess {
protected:
    void setupChildProcess() override {
#ifndef Q_OS_WIN
        ::setsid();
#endif
    }
};

bool isWindowsPath(const QString& word) {
    return word.size() > 2 && word.at(0).isLetter() && word.at(1) == ':' && word.at(2) == '\\';
}

// The words of a command line: blank-separated, a double-quoted word taken whole.
QStringList commandWords(const QString& line, QList<bool>* quoted) {
    QStringList words;
    int i = 0;
    while (i < line.size()) {
        if (line.at(i).isSpace()) {
            ++i;
            continue;
        }
        const bool inQuotes = line.at(i) == '"';
        const int start = inQuotes ? i + 1 : i;
        int end = start;
        while (end < line.size() && (inQuotes ? line.at(end) != '"' : !line.at(end).isSpace()))
            ++end;
        words << line.mid(start, end - start);
        quoted->append(inQuotes);
        i = end + 1;
    }
    return words;
}

// The program file a command file's one line starts, when it starts with one named by its
// quoted Windows path: on Linux /bin/sh would take such a path for a file of the working
// folder, so the program is started directly, its quoted Windows paths mapped to the host's.
bool directCommand(const QString& commandFile, QString* program, QStringList* arguments) {
#ifdef Q_OS_WIN
    Q_UNUSED(commandFile);
    Q_UNUSED(program);
    Q_UNUSED(arguments);
    return false;
#else
    QFile file(HostPath::toHost(commandFile));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString line = QString::fromUtf8(file.readAll()).trimmed();
    if (line.contains('\n'))
        return false;
    QList<bool> quoted;
    QStringList words = commandWords(line, &quoted);
    if (words.isEmpty() || !quoted.first() || !isWindowsPath(words.first()))
        return false;
    for (int i = 0; i < words.size(); ++i)
        if (quoted.at(i) && isWindowsPath(words.at(i)))
            words[i] = HostPath::toHost(words.at(i));
    *program = words.takeFirst();
    *arguments = words;
    return true;
#endif
}

// The program and arguments that run a command file.
void commandFileProgram(const QString& commandFile, QString* program, QStringList* arguments) {
    if (directCommand(commandFile, program, arguments))
        return;
#ifdef Q_OS_WIN
    *program = "cmd.exe";
    *arguments = QStringList{"/c", commandFile};
#else
    *program = "/bin/sh";
    *arguments = QStringList{HostPath::toHost(commandFile)};
#endif
}

// Programs are named as on Windows ("uvc_camera.exe"); elsewhere they have no suffix.
QString hostProgram(const QString& program) {
    QString path = HostPath::toHost(program);
#ifndef Q_OS_WIN
    if (path.endsWith(".exe", Qt::CaseInsensitive) && !QFile::exists(path))
        path.chop(4);
#endif
    return path;
}

// A host path in double quotes for /bin/sh: inside them the shell still gives backslash,
// double quote, dollar and backtick a meaning.
QByteArray shellQuoted(const QString& hostPath) {
    QString quoted;
    for (const QChar c : hostPath) {
        if (c == '\\' || c == '"' || c == '$' || c == '`')
            quoted += '\\';
        quoted += c;
    }
    return '"' + QFile::encodeName(quoted) + '"';
}

} // namespace

ChildProcess::ChildProcess() = default;

ChildProcess::~ChildProcess() {
    if (process && process->state() != QProcess::NotRunning)
        endTree();
}

int ChildProcess::runAndWait(const QString& program, const QStringList& arguments) {
    ChildProcess child;
    if (!child.start(program, arguments))
        return -1;
    child.process->waitForFinished(-1);
    return child.exitCode();
}

bool ChildProcess::startDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(hostProgram(program), arguments);
}

bool ChildProcess::programExists(const QString& program) {
    return QFileInfo(hostProgram(program)).isFile();
}

int ChildProcess::runCommandFileAndWait(const QString& commandFile) {
    QString program;
    QStringList arguments;
    commandFileProgram(commandFile, &program, &arguments);
    return runAndWait(program, arguments);
}

bool ChildProcess::startCommandFile(const QString& commandFile) {
    QString program;
    QStringList arguments;
    commandFileProgram(commandFile, &program, &arguments);
    return start(program, arguments);
}

bool ChildProcess::startCommandFileDetached(const QString& commandFile) {
    QString program;
    QStringList arguments;
    commandFileProgram(commandFile, &program, &arguments);
    // Detached children lead a session of their own, so ending our trees never reaches them.
    return QProcess::startDetached(hostProgram(program), arguments);
}

QByteArray ChildProcess::commandFileLine(const QString& program) {
#ifdef Q_OS_WIN
    return windowsCommandFileLine(program);
#else
    return shellCommandFileLine(HostPath::toHost(program));
#endif
}

QByteArray ChildProcess::windowsCommandFileLine(const QString& windowsPath) {
    QString line = windowsPath;
    line.replace('%', QLatin1String("%%"));
    return '"' + LocalText::encode(line) + "\"\n";
}

QByteArray ChildProcess::shellCommandFileLine(const QString& hostPath) {
    return shellQuoted(hostPath) + '\n';
}

QByteArray ChildProcess::folderCommandFile(const QString& folder, const QString& program,
                                           const QStringList& files) {
#ifdef Q_OS_WIN
    return windowsFolderCommandFile(folder, program, files);
#else
    QStringList hostFiles;
    for (const QString& file : files)
        hostFiles << HostPath::toHost(file);
    return shellFolderCommandFile(HostPath::toHost(folder), hostProgram(program), hostFiles);
#endif
}

QByteArray ChildProcess::windowsFolderCommandFile(const QString& folder, const QString& program,
                                                  const QStringList& files) {
    QString command = program;
    if (command.endsWith(".exe", Qt::CaseInsensitive))
        command.chop(4);
    for (const QString& file : files)
        command += ' ' + file;
    return "CD " + LocalText::encode(folder) + "\r\n" + LocalText::encode(command) + "\r\n";
}

QByteArray ChildProcess::shellFolderCommandFile(const QString& hostFolder,
                                                const QString& hostProgram,
                                                const QStringList& hostFiles) {
    QByteArray command = shellQuoted(hostProgram);
    for (const QString& file : hostFiles)
        command += ' ' + shellQuoted(file);
    return "cd " + shellQuoted(hostFolder) + '\n' + command + '\n';
}

bool ChildProcess::start(const QString& program, const QStringList& arguments) {
    if (process && process->state() != QProcess::NotRunning)
        endTree();
    process = std::make_unique<TreeProcess>();
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setInputChannelMode(QProcess::ForwardedInputChannel);
    process->start(hostProgram(program), arguments);
    return process->waitForStarted(-1);
}

bool ChildProcess::isRunning() {
    if (!process)
        return false;
    // Lets QProcess notice an ended child without an event loop.
    process->waitForFinished(0);
    return process->state() != QProcess::NotRunning;
}

int ChildProcess::exitCode() {
    if (isRunning() || !process || process->exitStatus() != QProcess::NormalExit)
        return -1;
    return process->exitCode();
}

void ChildProcess::endTree() {
    if (!process || process->state() == QProcess::NotRunning)
        return;
#ifdef Q_OS_WIN
    QProcess::execute("taskkill", {"/T", "/F", "/PID", QString::number(process->processId())});
#else
    const pid_t group = pid_t(process->processId());
    ::kill(-group, SIGTERM);
    process->waitForFinished(graceMs);
    // The rest of the tree gets the same time to clean up after itself.
    QDeadlineTimer grace(graceMs);
    while (::kill(-group, 0) == 0 && !grace.hasExpired())
        QThread::msleep(20);
    ::kill(-group, SIGKILL); // whatever ignored the request, and grandchildren left behind
#endif
    process->waitForFinished(-1);
}
