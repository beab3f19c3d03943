#pragma once

#include <QString>
#include <QStringList>

// The command line: the program's path, a lone "d" for digital-camera mode, and any other
// word joined back onto the path (a path with blanks may arrive split at them).
struct ProgramArguments {
    QString exePath;
    bool digitalCameraMode = false;

    // `arguments` as the program received them, the first being its own path in the
    // program's (Windows) path form.
    static ProgramArguments parse(const QStringList& arguments);

    // The folder of the program: exePath up to its last backslash.
    QString appDir() const;
};
