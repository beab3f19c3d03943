#pragma once

#include <QString>

// The fixed folder "C:\OrlentVesperixIni" that holds the settings of all three programs.
class SettingsFolder {
public:
    // Windows form of a file in the folder.
    static QString file(const QString& name);

    // Creates the folder when it is missing, logging "Make Dir VesperixIni".
    static void ensure();
};
