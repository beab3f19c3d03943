#pragma once

#include <QString>

// Starting a registered application through its command file "C:\OrlentVesperixIni\app1.bat"
// to "app4.bat", which is written anew each time. The application lives on by itself, also
// after the launcher has ended.
class ApplicationStart {
public:
    // The command file of application `number` (1 to 4), in Windows form.
    static QString commandFile(int number);

    // Writes the command file for `path` and starts it; false when either failed.
    static bool start(int number, const QString& path);
};
