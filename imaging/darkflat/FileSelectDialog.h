#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
struct SettingsRecord;

namespace Ui {
class FileSelectDialog;
}

// Chooses the master dark (mode 0) or master flat (mode 1) among the data folder's files,
// showing the shooting data of the highlighted one. "OK" makes it the settings' `preDark` or
// `preFlat` and reports it through fileChosen.
class FileSelectDialog : public QDialog {
    Q_OBJECT
public:
    // Fills the list and selects the row of `currentName` (the last row without one); placed
    // 100 pixels right of and below the parent window.
    FileSelectDialog(SettingsRecord& settings, int mode, const QString& currentName,
                     QWidget* parent = nullptr);
    ~FileSelectDialog() override;

    int mode() const { return selectMode; }
    int currentRow() const { return row; }

signals:
    void fileChosen(const QString& name);

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_listWidget_currentRowChanged(int currentRow);

private:
    void selectRow(int newRow);
    void showDetails();
    void setLabel(QLabel* label, const QString& text);

    Ui::FileSelectDialog* ui;
    SettingsRecord& settings;
    const int selectMode;
    QStringList names;
    int row = -1;
};
