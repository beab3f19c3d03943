// The launcher: starts the main program and looks after the image data.
#include "DebugLog.h"
#include "EndRequest.h"
#include "HostPath.h"
#include "LauncherProgram.h"
#include "MainWindow.h"
#include "SettingsFolder.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTranslator translator;
    for (const QString& language : QLocale::system().uiLanguages()) {
        if (translator.load(":/i18n/OrlentLauncher_" + QLocale(language).name())) {
            app.installTranslator(&translator);
            break;
        }
    }
    // The absolute path, whatever the launcher was started by: the main program is beside it.
    LauncherProgram program(HostPath::fromHost(QCoreApplication::applicationFilePath()));
    program.start();
    DebugLog::openFile(SettingsFolder::file("OrlentLauncher.log"));
    QObject::connect(&program.window(), &MainWindow::ended, &app, &QCoreApplication::quit);
    EndRequest::watch([&program] { program.window().close(); });
    return app.exec();
}
