#include "DropInObservatory.h"

#include "DebugLog.h"
#include "HostPath.h"
#include "SettingsFolder.h"
#include "SimCameraModel.h"

#include <QDir>
#include <QFileInfo>
#include <dlfcn.h>
#include <mutex>

namespace {

// The program folder with the catalogues: the drop-ins sit in a folder beside the programs.
QString programFolder() {
    Dl_info self{};
    dladdr(reinterpret_cast<void*>(&vxDropInObservatory), &self);
    QDir folder = QFileInfo(QString::fromLocal8Bit(self.dli_fname)).absoluteDir();
    folder.cdUp();
    return HostPath::fromHost(folder.absolutePath());
}

} // namespace

SimObservatory* vxDropInObservatory() {
    static std::once_flag made;
    static SimObservatory* observatory = nullptr; // the programs' threads call in until the end
    std::call_once(made, [] {
        // The simulated devices keep a log of their own, apart from the program's.
        DebugLog::setStderrEcho(false);
        SettingsFolder::ensure();
        DebugLog::openFile(SettingsFolder::file("DropInDevices.log"));
        observatory = new SimObservatory(programFolder(), SimCameraModel::connected());
    });
    return observatory;
}

SimLibraries dropInLibraries() {
    return vxDropInObservatory()->libraries();
}

bool dropInFault(const char* name) {
    return qEnvironmentVariable("VESPERIX_DROPIN_FAULT") == QLatin1String(name);
}
