#include "CameraDevice.h"
#include "CameraLabel.h"
#include "MainWindow.h"
#include "PhotoHistory.h"
#include "SettingsRecord.h"
#include "SimObservatory.h"
#include "StarCatalog.h"
#include "StartUp.h"

#include <QApplication>
#include <QMutex>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Process-wide and never freed: worker threads may read them until the process ends.
    auto* settings = new SettingsRecord;
    auto* photoHistory = new PhotoHistory;
    loadStartUpSettings(*settings, *photoHistory);
    const QString appDir = QCoreApplication::applicationDirPath();
    auto* catalog = new StarCatalog(loadCatalogs(appDir));
    Q_UNUSED(catalog);
    if (SimObservatory::enabled())
        (new SimObservatory(appDir, SimCameraModel::connected()))->installCameraLibraries();
    auto* stateMutex = new QMutex;
    auto* camera = new CameraDevice(*stateMutex, appDir, *settings);
    const bool noCamera = !chooseAndOpenCamera(*camera, false, appDir, nullptr);
    auto* window = new MainWindow(*settings);
    window->setCameraLabel(cameraLabelText(*camera, noCamera));
    window->show();
    return app.exec();
}
