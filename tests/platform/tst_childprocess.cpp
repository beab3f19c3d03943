#include "ChildProcess.h"
#include "HostPath.h"
#include "TestDrives.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <csignal>
#include <unistd.h>

class TestChildProcess : public QObject {
    Q_OBJECT
private slots:
    void runAndWaitGivesTheExitCode();
    void missingProgramDoesNotStart();
    void commandFileRunsWithItsLines();
    void commandFileStartingAWindowsPathStartsItsProgram();
    void endTreeEndsTheChildAndWhatItStarted();
    void endTreeLeavesOtherProcessesAlone();
    void commandFileLines_data();
    void commandFileLines();
    void folderCommandFiles_data();
    void folderCommandFiles();
    void folderCommandFileRunsTheFileTheCheckFinds();
    void detachedCommandFileOutlivesItsStarter();

private:
    static void writeCommandFile(const QString& windowsPath, const QByteArray& lines);
    static qint64 waitForPid(const QString& path);
};

void TestChildProcess::writeCommandFile(const QString& windowsPath, const QByteArray& lines) {
    QFile file(HostPath::toHost(windowsPath));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(lines);
}

// The pid a script writes, once the whole line is there; 0 if none comes within 10 s.
qint64 TestChildProcess::waitForPid(const QString& path) {
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray text = file.readAll();
            if (text.endsWith('\n'))
                return text.trimmed().toLongLong();
        }
        QTest::qWait(10);
    }
    return 0;
}

void TestChildProcess::runAndWaitGivesTheExitCode() {
    QCOMPARE(ChildProcess::runAndWait("/bin/sh", {"-c", "exit 7"}), 7);
    QCOMPARE(ChildProcess::runAndWait("/bin/true", {}), 0);
}

void TestChildProcess::missingProgramDoesNotStart() {
    TestDrives drives;
    QCOMPARE(ChildProcess::runAndWait("C:\\Program Files (x86)\\Nothing\\none.exe", {}), -1);
    ChildProcess child;
    QVERIFY(!child.start("/nonexistent/program", {}));
    QVERIFY(!child.isRunning());
}

void TestChildProcess::commandFileRunsWithItsLines() {
    TestDrives drives;
    QDir().mkpath(drives.root() + "/C/OrlentVesperixIni");
    writeCommandFile("C:\\OrlentVesperixIni\\app1.bat",
                     "echo first > \"$VESPERIX_DRIVES/C/out.txt\"\nexit 3\n");
    QCOMPARE(ChildProcess::runCommandFileAndWait("C:\\OrlentVesperixIni\\app1.bat"), 3);
    QFile out(drives.root() + "/C/out.txt");
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), QByteArray("first\n"));
}

// A Windows command line as the plate solve writes it: the quoted Windows paths, the program's
// among them (spaces and parentheses in its folder), reach it as host paths.
void TestChildProcess::commandFileStartingAWindowsPathStartsItsProgram() {
    TestDrives drives;
    const QString folder = drives.root() + "/C/Program Files (x86)/Solver";
    QDir().mkpath(folder);
    QFile program(folder + "/Solver");
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.write("#!/bin/sh\nprintf '%s|' \"$@\" > \"$VESPERIX_DRIVES/C/args.txt\"\nexit 4\n");
    program.close();
    program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
    QDir().mkpath(drives.root() + "/C/VesperixData");
    writeCommandFile("C:\\VesperixData\\solve.bat",
                     "\"C:\\Program Files (x86)\\Solver\\Solver\" /solvefile "
                     "\"C:\\VesperixData\\solve.jpg\" 400 -5.39 10.0");
    QCOMPARE(ChildProcess::runCommandFileAndWait("C:\\VesperixData\\solve.bat"), 4);
    QFile args(drives.root() + "/C/args.txt");
    QVERIFY(args.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(args.readAll()),
             "/solvefile|" + drives.root() + "/C/VesperixData/solve.jpg|400|-5.39|10.0|");
}

void TestChildProcess::endTreeEndsTheChildAndWhatItStarted() {
    TestDrives drives;
    const QString pidFile = drives.root() + "/grandchild.pid";
    QDir().mkpath(drives.root() + "/C/OrlentVesperixIni");
    writeCommandFile("C:\\OrlentVesperixIni\\solve.bat",
                     "sleep 600 &\necho $! > \"" + pidFile.toLocal8Bit() + "\"\nwait\n");
    ChildProcess child;
    QVERIFY(child.startCommandFile("C:\\OrlentVesperixIni\\solve.bat"));
    const qint64 grandchild = waitForPid(pidFile);
    QVERIFY(grandchild > 0);
    QVERIFY(child.isRunning());

    child.endTree();
    QVERIFY(!child.isRunning());
    QCOMPARE(child.exitCode(), -1);
    // The grandchild is not ours to reap; it must be gone (or a zombie of init) shortly.
    QTRY_VERIFY_WITH_TIMEOUT(
        ::kill(pid_t(grandchild), 0) != 0 ||
            [&] {
                QFile stat(QString("/proc/%1/stat").arg(grandchild));
                return stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") Z ");
            }(),
        10000);
}

void TestChildProcess::endTreeLeavesOtherProcessesAlone() {
    ChildProcess bystander;
    QVERIFY(bystander.start("/bin/sleep", {"600"}));
    {
        ChildProcess aborted;
        QVERIFY(aborted.start("/bin/sleep", {"600"}));
        aborted.endTree();
        QVERIFY(!aborted.isRunning());
    }
    QVERIFY(bystander.isRunning());
    bystander.endTree();
}

// Both forms are pure, so both are checked here; the Windows one only runs on Windows.
void TestChildProcess::commandFileLines_data() {
    QTest::addColumn<bool>("windows");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("Windows percent")
        << true << "C:\\a 100%\\x.exe" << QByteArray("\"C:\\a 100%%\\x.exe\"\n");
    QTest::newRow("Windows variable")
        << true << "C:\\%PATH%\\x.exe" << QByteArray("\"C:\\%%PATH%%\\x.exe\"\n");
    QTest::newRow("shell specials")
        << false << "/d/a\\b\"c$d`e" << QByteArray("\"/d/a\\\\b\\\"c\\$d\\`e\"\n");
    QTest::newRow("shell inert") << false << "/d/100% 'q' & ; |x"
                                 << QByteArray("\"/d/100% 'q' & ; |x\"\n");
}

void TestChildProcess::commandFileLines() {
    QFETCH(bool, windows);
    QFETCH(QString, program);
    QFETCH(QByteArray, line);
    QCOMPARE(windows ? ChildProcess::windowsCommandFileLine(program)
                     : ChildProcess::shellCommandFileLine(program),
             line);
}

void TestChildProcess::folderCommandFiles_data() {
    QTest::addColumn<bool>("windows");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QByteArray>("lines");
    QTest::newRow("Windows") << true << "C:\\Star\\"
                             << "C:\\Star\\star++.exe"
                             << QStringList{"C:\\Star\\in.tif", "C:\\Star\\out.tif"}
                             << QByteArray(
                                    "CD C:\\Star\\\r\n"
                                    "C:\\Star\\star++ C:\\Star\\in.tif C:\\Star\\out.tif\r\n");
    QTest::newRow("shell") << false << "/d/S $x/"
                           << "/d/S $x/star++" << QStringList{"/d/S $x/in.tif", "/d/S $x/o`t.tif"}
                           << QByteArray("cd \"/d/S \\$x/\"\n"
                                         "\"/d/S \\$x/star++\" \"/d/S \\$x/in.tif\" "
                                         "\"/d/S \\$x/o\\`t.tif\"\n");
}

void TestChildProcess::folderCommandFiles() {
    QFETCH(bool, windows);
    QFETCH(QString, folder);
    QFETCH(QString, program);
    QFETCH(QStringList, files);
    QFETCH(QByteArray, lines);
    QCOMPARE(windows ? ChildProcess::windowsFolderCommandFile(folder, program, files)
                     : ChildProcess::shellFolderCommandFile(folder, program, files),
             lines);
}

// Installed without ".exe", the program the check finds is the one the command file runs, in
// its folder, with the files' host paths.
void TestChildProcess::folderCommandFileRunsTheFileTheCheckFinds() {
    TestDrives drives;
    const QString folder = "C:\\Star Net $x\\";
    QDir().mkpath(HostPath::toHost(folder));
    QFile program(HostPath::toHost(folder + "star++"));
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.write("#!/bin/sh\nprintf '%s|' \"$(pwd)\" \"$@\" > \"$VESPERIX_DRIVES/C/args.txt\"\n");
    program.close();
    program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
    QVERIFY(ChildProcess::programExists(folder + "star++.exe"));
    writeCommandFile(folder + "run.bat",
                     ChildProcess::folderCommandFile(folder, folder + "star++.exe",
                                                     {folder + "in.tif", folder + "out.tif"}));
    QCOMPARE(ChildProcess::runCommandFileAndWait(folder + "run.bat"), 0);
    QFile args(drives.root() + "/C/args.txt");
    QVERIFY(args.open(QIODevice::ReadOnly));
    const QString host = QDir::cleanPath(HostPath::toHost(folder));
    QCOMPARE(QString::fromUtf8(args.readAll()), host + "|" + HostPath::toHost(folder + "in.tif") +
                                                    "|" + HostPath::toHost(folder + "out.tif") +
                                                    "|");
}

// An application the launcher starts keeps running after the launcher has gone, in a session
// of its own; its folder holds every character the shell would otherwise act on.
void TestChildProcess::detachedCommandFileOutlivesItsStarter() {
    TestDrives drives;
    const QString folder = "C:\\my apps\\100% $x 'q' &日本 \"`\\";
    QDir().mkpath(HostPath::toHost(folder));
    QFile app(HostPath::toHost(folder + "\\app"));
    QVERIFY(app.open(QIODevice::WriteOnly));
    app.write("#!/bin/sh\n"
              "d=$(dirname \"$0\")\n"
              "i=0\n"
              "while [ ! -e \"$d/go\" ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done\n"
              "awk '{print $6}' /proc/$$/stat > \"$d/session.tmp\"\n"
              "mv \"$d/session.tmp\" \"$d/session\"\n");
    app.close();
    app.setPermissions(app.permissions() | QFileDevice::ExeOwner);
    QDir().mkpath(drives.root() + "/C/OrlentVesperixIni");
    writeCommandFile("C:\\OrlentVesperixIni\\app1.bat",
                     ChildProcess::commandFileLine(folder + "\\app"));

    QVERIFY(ChildProcess::startCommandFileDetached("C:\\OrlentVesperixIni\\app1.bat"));
    QFile(HostPath::toHost(folder + "\\go")).open(QIODevice::WriteOnly);
    QFile session(HostPath::toHost(folder + "\\session"));
    QTRY_VERIFY_WITH_TIMEOUT(session.exists(), 10000);
    QVERIFY(session.open(QIODevice::ReadOnly));
    const qint64 appSession = session.readAll().trimmed().toLongLong();
    QVERIFY(appSession > 0);
    QVERIFY(appSession != qint64(::getsid(0)));
}

QTEST_GUILESS_MAIN(TestChildProcess)
#include "tst_childprocess.moc"
