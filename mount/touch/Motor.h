#pragma once

#include "ManualMotion.h"

#include <QDialog>

class QPushButton;
class TouchLabel;
struct ProcessState;

namespace Ui {
class Motor;
}

// The motor dialog: four pads that move the mount while a finger is on them, or by a fixed
// step per press, with the step and the speed chosen above them.
class Motor : public QDialog {
    Q_OBJECT
public:
    explicit Motor(ProcessState& state, QWidget* parent = nullptr);
    ~Motor() override;

    // However the dialog is left (閉じる, Esc, the title bar): a slew still held stops, and
    // the dialog goes.
    void done(int result) override;

private:
    void showChoices();
    void showHeld(TouchLabel* pad, bool held);

    Ui::Motor* ui;
    ManualMotion manual;
    QList<QPushButton*> modeButtons;
    QList<QPushButton*> speedButtons;
};
