#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

struct LauncherSettings;
class QPushButton;

namespace Ui {
class DataCopy;
}

// The copy of the image data folder to another drive ("データのコピー"): the source is the
// main program's data drive, the destination one of the drives C to M, the files those of the
// chosen copy option.
class DataCopy : public QDialog {
    Q_OBJECT
public:
    // The dialog works on the launcher's settings record, which must outlive it: the chosen
    // option goes into it at once, the destination when the dialog closes, and the record is
    // then saved. Open it with exec(), or with show() and Qt::WA_DeleteOnClose; a new one may
    // be opened on each press. The data drive is read when it opens, so a change made in the
    // main program counts.
    DataCopy(LauncherSettings& settings, QWidget* parent = nullptr);
    ~DataCopy() override;

    // "閉じる", the title bar and Escape all close this way: the destination is stored and
    // the settings saved. A copy in progress stops first and the dialog closes after it.
    void reject() override;

private:
    void listDrives();
    void chooseDestination(QChar letter);
    void showDestination();
    void chooseOption(int option);
    void run();
    // False when a copy failed; a stop by the user still completes.
    bool copyFiles(const QStringList& names);
    void openDataFolder();
    QPushButton* driveButton(int index) const;
    QPushButton* optionButton(int option) const;

    Ui::DataCopy* ui;
    LauncherSettings& settings;
    QChar source;
    QChar destination;
    QList<QChar> drives;
    bool running = false;
    bool stopRequested = false;
    bool closeRequested = false;
};
