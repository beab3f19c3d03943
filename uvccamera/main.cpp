// Writes the list of video capture devices to "C:\OrlentVesperixIni\camera.txt", one name a
// line in OpenCV's device index order, for the main program and the polar-alignment program.
#include "AtomicFile.h"
#include "DebugLog.h"
#include "HostPath.h"
#include "SettingsFolder.h"
#include "SimCameraModel.h"
#include "SimObservatory.h"
#include "VideoDevices.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList names;
    if (SimObservatory::enabled()) {
        for (const SimCameraModel& model : SimCameraModel::connected()) {
            if (model.vendor == SimCameraModel::Usb)
                names << model.name;
        }
    } else {
        names = VideoDevices::names();
    }
    QByteArray text;
    for (const QString& name : names)
        text += (name.isEmpty() ? QByteArray("-") : name.toUtf8()) + '\n';
    SettingsFolder::ensure();
    const QString file = SettingsFolder::file("camera.txt");
    if (AtomicFile::write(HostPath::toHost(file), text) != AtomicFile::Written) {
        debugLog("cannot create file %s", qPrintable(file));
        return 1;
    }
    return 0;
}
