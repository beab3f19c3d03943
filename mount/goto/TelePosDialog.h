#pragma once

#include <QDialog>

namespace Ui {
class TelePosDialog;
}

// The pier-side question of the HOME goto: on which side of the pier the tube takes the
// object. Modal; its answer is 0 (cancel), 1 (east side) or 2 (west side).
class TelePosDialog : public QDialog {
    Q_OBJECT
public:
    TelePosDialog(const QString& sentence, bool objectEast, QWidget* parent = nullptr);
    ~TelePosDialog() override;

    int answer() const { return chosen; }

    // Shows the dialog and waits for the answer.
    static int ask(const QString& sentence, bool objectEast, QWidget* parent);

private:
    Ui::TelePosDialog* ui;
    int chosen = 0;
};
