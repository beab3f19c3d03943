#include "LauncherProgram.h"

#include "Bookmarks.h"
#include "MainWindow.h"
#include "SettingsFolder.h"

#include <QGuiApplication>
#include <QScreen>

LauncherProgram::LauncherProgram(const QString& launcherFile)
    : launcherFile(launcherFile) {}

LauncherProgram::~LauncherProgram() = default;

void LauncherProgram::start() {
    SettingsFolder::ensure();
    record.load();
    mainWindow = std::make_unique<MainWindow>(record, Bookmarks::load(), launcherFile);
    if (opensFullScreen(QGuiApplication::primaryScreen()->size()))
        mainWindow->showFullScreen();
    else
        mainWindow->show();
}

bool LauncherProgram::opensFullScreen(QSize desktop) {
    return desktop.width() <= 1280 || desktop.height() <= 800;
}
