#pragma once

#include "Bookmarks.h"

#include <QMainWindow>
#include <QVector>

struct LauncherSettings;
class QPushButton;

namespace Ui {
class MainWindow;
}

// The launcher's one window: large buttons that start the main program, open the copy,
// delete and update dialogs, open the bookmarked pages and start the user's applications.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `launcherFile`: the launcher's own executable in Windows form; the main program is
    // beside it. `settings` must outlive the window.
    MainWindow(LauncherSettings& settings, const QVector<Bookmark>& bookmarks,
               const QString& launcherFile, QWidget* parent = nullptr);
    ~MainWindow() override;

signals:
    // The launcher is ending ("終了", the title bar, or an update under way); the settings
    // have been written.
    void ended();

protected:
    // Closing from the title bar is "終了", so that a changed mode is kept.
    void closeEvent(QCloseEvent* event) override;

private:
    void startMainProgram();
    void toggleMode();
    void showMode();
    void openCopy();
    void openDelete();
    void openUpdate();
    void chooseApplication(int slot);
    void registerApplication(int slot, const QString& hostPath);
    void removeApplication(int slot);
    void startApplication(int slot);
    void showApplication(int slot);
    void openBookmark(int index);
    QPushButton* applicationButton(int slot) const;

    Ui::MainWindow* ui;
    LauncherSettings& settings;
    const QVector<Bookmark> bookmarks;
    const QString launcherFile;
};
