#pragma once

#include <QString>

// The launcher's own settings, kept in "C:\OrlentVesperixIni\OrlentLaunch.ini": one key, a
// blank and a value a line. The main program reads the application paths from the same file,
// so the keys and their order must not change.
struct LauncherSettings {
    static constexpr int appCount = 4;

    int destDrive = 0;    // the copy's destination drive letter as its character code; 0 none
    int copyOption = 0;   // 0 to 3
    int deleteOption = 0; // 0 to 7
    QString appName[appCount]; // full paths of the registered applications; empty when none
    int mode = 0;              // 1: start the main program in digital-camera mode

    // Reads the file; a missing file logs "iniFile open error" and leaves the values as they
    // were. Lines are read whole, however long.
    void load();

    // Rewrites the whole file ("init file write"). It is written beside the old one and
    // renamed into place, so a failed save leaves the old file as it was. False when it failed.
    bool save() const;

    // Whether the settings file's code page can hold this path; one it cannot would be stored
    // wrong, so it is not registered.
    static bool canStore(const QString& path);

    // The data drive letter the main program uses ("drive" in "Vesperix.ini"), read anew on
    // every call so that a change made in the main program counts; 'C' when the key is missing
    // or out of range.
    static QChar dataDrive();
};
