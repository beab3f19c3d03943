#pragma once

#include <QDialog>

namespace Ui {
class FirstStarDialog;
}

// "1等星選択": one button per first-magnitude star, in the order of FirstMagnitudeStars.
class FirstStarDialog : public QDialog {
    Q_OBJECT
public:
    explicit FirstStarDialog(QWidget* parent = nullptr);
    ~FirstStarDialog() override;

    // The row of the star pressed, or -1 after "閉じる" or closing.
    int chosenRow() const { return chosen; }

    static int choose(QWidget* parent);

private:
    Ui::FirstStarDialog* ui;
    int chosen = -1;
};
