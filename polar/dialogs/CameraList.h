#pragma once

#include <QDialog>

namespace Ui {
class CameraList;
}

// The choice of the polar camera ("カメラの選択") among the video devices found, one row
// each, the first selected. Modal.
class CameraList : public QDialog {
    Q_OBJECT
public:
    explicit CameraList(const QStringList& entries, QWidget* parent = nullptr);
    ~CameraList() override;

    // The line above the list.
    void setPrompt(const QString& text);

    int selectedRow() const;
    // The row taken with pushButton; -1 until then.
    int chosenIndex() const { return chosen; }

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();

private:
    void moveSelection(int step);

    Ui::CameraList* ui;
    int chosen = -1;
};
