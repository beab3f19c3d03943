#include "SetupProgram.h"

#include "ChildProcess.h"
#include "HostPath.h"

QString SetupProgram::find() {
    for (QChar drive : HostPath::existingDrives('C', 'M')) {
        // Asked by the rule that starts it, so what is found is what runs.
        const QString path = QString(drive) + ":\\vevazazizir.exe";
        if (ChildProcess::programExists(path))
            return path;
    }
    return QString();
}
