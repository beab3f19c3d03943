#pragma once

#include <QString>
#include <functional>

// The suite's debug log: English printf-style lines to stderr and to a log file in the
// settings folder. Lines written before the file is known are kept and written to it once
// it is opened, so nothing from early start-up is lost.
class DebugLog {
public:
    using Sink = std::function<void(const QString& line)>;

    // Opens (appending) the log file, given in its Windows form.
    static void openFile(const QString& windowsPath);

    // Tests attach a sink to see every line; the returned id detaches it again.
    static int attachSink(Sink sink);
    static void detachSink(int id);

    static void writeLine(const QString& line);

    // Whether lines are echoed to stderr (on by default; off where a tool runs hot).
    static void setStderrEcho(bool on);
};

// One log line, printf-style; a trailing newline is optional. Numbers are formatted the
// same in every locale.
void debugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
