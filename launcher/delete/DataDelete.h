#pragma once

#include <QDialog>

struct LauncherSettings;
class QPushButton;

namespace Ui {
class DataDelete;
}

// Deleting image files of the data folder by class and age ("データの削除"). The data drive is
// read when the dialog opens, so a change made in the main program counts.
class DataDelete : public QDialog {
    Q_OBJECT
public:
    // The chosen option goes into `settings` at once; the settings are saved when the dialog
    // closes. `settings` must outlive the dialog.
    DataDelete(LauncherSettings& settings, QWidget* parent = nullptr);
    ~DataDelete() override;

    // "閉じる", the title bar and Escape all close this way. A run in progress stops first.
    void reject() override;

private:
    void chooseOption(int option);
    void run();
    // False when the file is there and could not be deleted.
    bool deleteFile(const QString& path);
    void stop();
    void openDataFolder();
    QPushButton* optionButton(int option) const;
    QString dataFolder() const;

    Ui::DataDelete* ui;
    LauncherSettings& settings;
    QChar drive;
    bool running = false;
    bool stopRequested = false;
    bool closeRequested = false;
};
