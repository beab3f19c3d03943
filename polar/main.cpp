#include "DebugLog.h"
#include "SettingsFolder.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    SettingsFolder::ensure();
    DebugLog::openFile(SettingsFolder::file("Axilo.log"));
    QMainWindow window;
    window.setWindowTitle("Axilo");
    window.resize(1024, 600);
    window.show();
    return app.exec();
}
