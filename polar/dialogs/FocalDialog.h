#pragma once

#include <QDialog>

struct AxiloSettings;

namespace Ui {
class FocalDialog;
}

// The lens focal length, whole millimetres and hundredths, each digit pair wrapping within
// 0..99. "Down" stores it in the settings record and accepts; "Cancel" leaves the record
// alone. Not modal; it deletes itself when closed.
class FocalDialog : public QDialog {
    Q_OBJECT
public:
    explicit FocalDialog(AxiloSettings& settings, QWidget* parent = nullptr);
    ~FocalDialog() override;

private:
    void stepWhole(int step);
    void stepHundredths(int step);
    void showFocal();

    Ui::FocalDialog* ui;
    AxiloSettings& settings;
    int whole;
    int hundredths;
};
