#pragma once

#include "GotoActions.h"

#include <QDialog>

struct ProcessState;
class PositionUpdate;

namespace Ui {
class Goto;
}

// The goto window: sync, goto, stop, HOME and the declination-direction check on the object
// chosen on its chart. The chart itself comes with the catalogues; until then its area stays
// dark and every action works on the chart centre or a picked object.
class Goto : public QDialog {
    Q_OBJECT
public:
    Goto(ProcessState& state, PositionUpdate& positions, QWidget* parent = nullptr);
    ~Goto() override;

    GotoActions& actions() { return goto_; }

    // However the window is left (終了, Esc, the title bar): the scope position is kept, and
    // the window goes.
    void done(int result) override;

private slots:
    void on_pushButton_18_clicked();
    void on_pushButton_19_clicked();
    void on_pushButton_20_clicked();
    void on_pushButton_22_clicked();
    void on_pushButton_23_clicked();
    void on_pushButton_24_clicked();
    void on_pushButton_30_clicked();
    void on_pushButton_31_clicked();
    void on_pushButton_12_clicked();
    void on_pushButton_clicked();

private:
    void showDecDir();

    Ui::Goto* ui;
    ProcessState& state;
    GotoActions goto_;
};
