#pragma once

#include <QDialog>

namespace Ui {
class OkDialog;
}

// The program's message box ("エラー"): a text and "OK", centred on the window it is shown
// over. Modal.
class OkDialog : public QDialog {
    Q_OBJECT
public:
    explicit OkDialog(const QString& text, QWidget* parent = nullptr);
    ~OkDialog() override;

    QString text() const;

private:
    Ui::OkDialog* ui;
};
