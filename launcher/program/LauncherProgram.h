#pragma once

#include "LauncherSettings.h"

#include <QSize>
#include <QString>
#include <memory>

class MainWindow;

// The launcher's start-up: the settings folder, the settings, the bookmarks and the window.
class LauncherProgram {
public:
    // `launcherFile`: the launcher's own executable in Windows form.
    explicit LauncherProgram(const QString& launcherFile);
    ~LauncherProgram();

    // Creates the settings folder when missing, reads the settings and the bookmarks and
    // shows the window, full screen on a small desktop.
    void start();

    MainWindow& window() { return *mainWindow; }
    LauncherSettings& settings() { return record; }

    // The small screens the launcher fills: at most 1280 wide or at most 800 high.
    static bool opensFullScreen(QSize desktop);

private:
    const QString launcherFile;
    LauncherSettings record;
    std::unique_ptr<MainWindow> mainWindow;
};
