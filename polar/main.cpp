// The polar-alignment program: start-up, then the main loop until "Quit".
#include "AxiloProgram.h"
#include "DebugLog.h"
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

    std::unique_ptr<SimObservatory> observatory;
    if (SimObservatory::enabled()) {
        observatory = std::make_unique<SimObservatory>(programFolder, SimCameraModel::connected());
        observatory->installCameraLibraries();
    }
    AxiloProgram program(programFolder);
    EndRequest::watch([&program] {
        program.requestQuit();
        QCoreApplication::exit(0); // also ends a message box the request came during
    });
    program.start();
    return program.run();
}
