#pragma once

#include "LogRecorder.h"
#include "TestDrives.h"

#include <QDateTime>
#include <QStringList>
#include <functional>
#include <memory>

class MainProgram;
class MainWindow;
class SimCamera;
struct ProcessState;
struct SettingsRecord;

// The real main program on the simulated observatory, in a drive root of its own, with its
// clock sped up. Messages to the user are recorded instead of shown. With VESPERIX_TEST_KEEP
// set to a folder, the drive root (data folder, settings, debug log) is kept there under the
// test's name.
class E2eProgram {
public:
    struct Options {
        QString cameras = "ASI294MC";
        QString accessories; // the simulated focuser and wheels, e.g. "PW,EFW"; none when empty
        bool digitalCameraMode = false;
        bool shutterAdapter = true; // the simulated USB shutter adapter plugged in
        double clockScale = 10;
        QDateTime clockStart; // the observatory's local date and time at start, when valid
        // False: the simulator off, the devices reached through the bindings to the makers'
        // libraries, with the drop-ins (bin/dropin) in their place. Those run in real time.
        bool simulator = true;
    };
    explicit E2eProgram(const Options& options);
    E2eProgram()
        : E2eProgram(Options()) {}
    ~E2eProgram();
    E2eProgram(const E2eProgram&) = delete;
    E2eProgram& operator=(const E2eProgram&) = delete;

    MainProgram& program() { return *mainProgram; }
    ProcessState& state();
    SettingsRecord& settings();
    MainWindow& window();
    SimCamera& camera(int index = 0);

    // Main-loop passes until the condition holds; false when it did not within the time.
    bool runUntil(const std::function<bool()>& condition, int timeoutMs = 60000);
    // Passes for this much of the program's clock.
    void runFor(int clockMs);
    // A finger on the button: it must be visible and enabled.
    bool press(const char* objectName);
    QString buttonText(const char* objectName);
    QString labelText(const char* objectName);

    // Host paths in the data folder on drive C.
    QString dataPath(const QString& name) const;
    QString driveRoot() const { return drives.root(); }
    QStringList dataFiles() const;

    QStringList messages;
    LogRecorder log;

private:
    TestDrives drives;
    std::unique_ptr<MainProgram> mainProgram;
};
