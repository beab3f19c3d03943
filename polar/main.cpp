// The polar-alignment program: start-up, then the main loop until "Quit".
#include "AxiloProgram.h"
#include "DebugLog.h"
#include "DeviceBindings.h"
#include "EndRequest.h"
#include "HostPath.h"
#include "SettingsFolder.h"
#include "SimObservatory.h"

#include <QApplication>
#include <QFileInfo>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    SettingsFolder::ensure();
    DebugLog::openFile(SettingsFolder::file("Axilo.log"));
    const QString programFile = HostPath::fromHost(QCoreApplication::applicationFilePath());
    const QString programFolder = programFile.left(programFile.lastIndexOf('\\'));

    AxiloProgram program(programFolder);
    // Watched from the start, so that a request during the catalogues' loading is not lost.
    EndRequest::watch([&program] {
        program.requestQuit();
        QCoreApplication::exit(0); // also ends a question box the request came during
    });
    std::unique_ptr<SimObservatory> observatory;
    if (SimObservatory::enabled()) {
        observatory = std::make_unique<SimObservatory>(programFolder, SimCameraModel::connected());
        observatory->installCameraLibraries();
    } else {
        DeviceBindings::installCameraLibraries();
    }
    program.start();
    return program.run();
}
