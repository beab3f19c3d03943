#include "MainWindow.h"
#include "PhotoHistory.h"
#include "SettingsRecord.h"
#include "StarCatalog.h"
#include "StartUp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Process-wide and never freed: worker threads may read them until the process ends.
    auto* settings = new SettingsRecord;
    auto* photoHistory = new PhotoHistory;
    loadStartUpSettings(*settings, *photoHistory);
    auto* catalog = new StarCatalog(loadCatalogs(QCoreApplication::applicationDirPath()));
    Q_UNUSED(catalog);
    auto* window = new MainWindow(*settings);
    window->show();
    return app.exec();
}
