#pragma once

#include "CameraEntry.h"

#include <QDialog>

class CameraEntryList;

namespace Ui {
class CameraList;
}

// The camera selection dialog ("カメラの選択"): the cameras found, one row each.
class CameraList : public QDialog {
    Q_OBJECT
public:
    CameraList(CameraEntryList& entries, QWidget* parent = nullptr);
    ~CameraList() override;

    // Fills the rows, selects the first and remembers where the choice goes.
    void showList(CameraEntry* result);
    // With fewer than two cameras: the first entry is the choice, without asking.
    void takeFirst();
    // The line above the list (the guide camera's chooser asks its own question).
    void setPrompt(const QString& text);

    int selectedRow() const;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();

private:
    void moveSelection(int step);

    Ui::CameraList* ui;
    CameraEntryList& entries;
    CameraEntry* result = nullptr;
};
