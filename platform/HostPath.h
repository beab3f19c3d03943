#pragma once

#include <QList>
#include <QString>

// The suite names its fixed locations the Windows way ("C:\OrlentVesperixIni\Vesperix.ini").
// This maps them onto the host. On Windows the mapping is the identity; elsewhere drive X is
// the folder $VESPERIX_DRIVES/X (default ~/.local/share/Vesperix/drives/X), so drive scans,
// copies between drives and the fixed files behave the same on every host.
class HostPath {
public:
    // Host form of a Windows path. "X:\a\b" lands below drive X's folder and can never climb
    // above it ("C:\..\x" is "C:\x", as on Windows). Other paths only get forward slashes.
    // Drive C's folder is created on first use; other drives exist only if their folder does.
    static QString toHost(const QString& windowsPath);

    // The Windows form of a host path ("/opt/vx/Vesperix" is "\opt\vx\Vesperix"), so that
    // the program can cut and join its own paths at backslashes on every host.
    static QString fromHost(const QString& hostPath);

    // The folder that holds one folder per drive letter (not used on Windows).
    static QString drivesRoot();

    static bool driveExists(QChar letter);

    // Drive letters from first to last (inclusive) that exist, in letter order.
    static QList<QChar> existingDrives(QChar first = 'C', QChar last = 'M');
};
