#pragma once

#include "LogRecorder.h"
#include "TestDrives.h"

#include <QDateTime>
#include <QStringList>
#include <functional>
#include <memory>

class AxiloProgram;
class SimObservatory;

// The real polar-alignment program on the simulated observatory, in a drive root of its own,
// with its clock sped up. Messages are recorded instead of shown and questions answered OK.
class E2eAxilo {
public:
    struct Options {
        QString cameras = "POLAR"; // "" for none
        double clockScale = 10;
        QDateTime clockStart;  // local date and time at start, when valid
        QByteArray settings;   // "Axilo.ini" before start, when not empty
        QString programFolder; // host folder uvc_camera is taken from; the build's by default
    };
    explicit E2eAxilo(const Options& options);
    ~E2eAxilo();
    E2eAxilo(const E2eAxilo&) = delete;
    E2eAxilo& operator=(const E2eAxilo&) = delete;

    AxiloProgram& program() { return *axilo; }
    SimObservatory& sim() { return *observatory; }

    bool runUntil(const std::function<bool()>& condition, int timeoutMs = 60000);
    void runFor(int clockMs);
    // A finger on the button: it must be visible and enabled.
    bool press(const char* objectName);
    // The label's text, or a null string when it is hidden.
    QString shownText(const char* objectName);
    QByteArray settingsFile() const;

    QStringList messages;
    LogRecorder log;

private:
    TestDrives drives;
    std::unique_ptr<SimObservatory> observatory;
    std::unique_ptr<AxiloProgram> axilo;
};
