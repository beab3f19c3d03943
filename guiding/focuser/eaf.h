#pragma once

#include "FocuserControl.h"

#include <QDialog>

class EafLibrary;
class QPushButton;
struct SettingsRecord;

namespace Ui {
class eaf;
}

// The focuser dialog: moves the focuser in or out by the chosen step and shows the relative
// counter. It stays on top; the main loop calls periodicStep() while it exists.
class eaf : public QDialog {
    Q_OBJECT
public:
    eaf(EafLibrary& library, SettingsRecord& settings, QWidget* parent = nullptr);
    ~eaf() override;

    // Opens the focuser; false when none is attached.
    bool openFocuser();
    void periodicStep();

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_7_clicked();
    void on_pushButton_8_clicked();
    void on_pushButton_9_clicked();
    void on_pushButton_10_clicked();
    void on_pushButton_11_clicked();
    void on_pushButton_12_clicked();

private:
    void chooseStep(int choice);
    void chooseDirection(int rev);
    void showChoices();
    void showCounter();

    Ui::eaf* ui;
    SettingsRecord& settings;
    FocuserControl focuser;
};
