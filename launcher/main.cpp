#include "DebugLog.h"
#include "SettingsFolder.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    SettingsFolder::ensure();
    DebugLog::openFile(SettingsFolder::file("OrlentLauncher.log"));
    QMainWindow window;
    window.setWindowTitle("OrlentLauncher");
    window.resize(800, 480);
    window.show();
    return app.exec();
}
