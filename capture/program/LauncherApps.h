#pragma once

#include <QString>

// The user's applications registered in the launcher ("C:\OrlentVesperixIni\OrlentLaunch.ini",
// keys appName1..appName4), and whether one of them is StellaImage ("stlimg" in its line).
struct LauncherApps {
    QString commandLines[4];
    bool hasStellaImage = false;
    QString stellaImagePath;

    // Reads the launcher's file; a missing file logs "iniFile open error" and leaves all
    // slots empty.
    static LauncherApps read();
};
