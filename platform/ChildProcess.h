#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QProcess;

// Starting outside programs. Program and command-file paths may be given in their Windows
// form. Every child is started as the head of its own process tree, so that aborting it ends
// that tree and nothing else on the machine.
class ChildProcess {
public:
    ChildProcess();
    ~ChildProcess(); // ends the tree if it is still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts and waits until the program ends; its exit code, or -1 if it could not start.
    static int runAndWait(const QString& program, const QStringList& arguments);

    // Starts a program that lives on by itself; false if it could not start.
    static bool startDetached(const QString& program, const QStringList& arguments);
    // Whether the file a start of `program` would run exists (on Linux, the name without
    // ".exe" when only that is there).
    static bool programExists(const QString& program);

    // Command files ("solve.bat", "app1.bat") keep their names; on Linux /bin/sh runs them.
    static int runCommandFileAndWait(const QString& commandFile);
    bool startCommandFile(const QString& commandFile);
    // Starts a command file that lives on by itself, beyond the program that started it.
    static bool startCommandFileDetached(const QString& commandFile);
    // The line of a command file that starts `program` (a Windows path) with no arguments:
    // on Windows the path in double quotes with '%' doubled (else "%...%" would expand); on
    // Linux, for /bin/sh, the host path in double quotes with backslash, double quote, dollar
    // and backtick escaped. Ends with a newline.
    static QByteArray commandFileLine(const QString& program);
    // The two forms of that line, apart so that each can be checked on any host; the program
    // writes the host's through commandFileLine.
    static QByteArray windowsCommandFileLine(const QString& windowsPath);
    static QByteArray shellCommandFileLine(const QString& hostPath);

    // A command file that goes to `folder` and runs `program` (the file programExists looks
    // for) on `files`, all Windows paths. On Windows the lines "CD folder" and the program
    // named without ".exe", as cmd finds it, followed by the files; on Linux, for /bin/sh, cd
    // and the program's host file with the files' host paths, each quoted.
    static QByteArray folderCommandFile(const QString& folder, const QString& program,
                                        const QStringList& files);
    // Its two forms, apart so that each can be checked on any host.
    static QByteArray windowsFolderCommandFile(const QString& folder, const QString& program,
                                               const QStringList& files);
    static QByteArray shellFolderCommandFile(const QString& hostFolder, const QString& hostProgram,
                                             const QStringList& hostFiles);

    // Starts without waiting; the caller polls isRunning() and may end the tree.
    bool start(const QString& program, const QStringList& arguments);
    bool isRunning();
    // Exit code once it has ended, -1 while running or when it did not end normally.
    int exitCode();
    // Ends the process and everything it started; returns once they are gone.
    void endTree();

private:
    std::unique_ptr<QProcess> process;
};
