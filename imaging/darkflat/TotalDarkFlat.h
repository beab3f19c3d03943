#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QProgressBar;
class QPushButton;
struct SettingsRecord;

// The batch dark/flat dialog: five choices stored in the settings at once, then a run over
// the stored frames with a progress bar and the current file's name.
class TotalDarkFlat : public QDialog {
    Q_OBJECT
public:
    TotalDarkFlat(SettingsRecord& settings, QStringList files, QWidget* parent = nullptr);

    // Starts the run, as "開始" does.
    void start();
    bool isRunning() const { return running; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Choice {
        int SettingsRecord::*field;
        QPushButton* yes;
        QPushButton* no;
    };
    void addChoice(const QString& label, int SettingsRecord::*field, int row);
    void showChoice(const Choice& choice);

    SettingsRecord& settings;
    const QStringList files;
    QVector<Choice> choices;
    QProgressBar* progress;
    QLabel* fileLabel;
    bool running = false;
    bool closed = false;
};
