#pragma once

#include <QDialog>

namespace Ui {
class NumberInput;
}

// A keypad for a whole number under the caller's caption ("M", "IC", "NGC", ...). Digit keys
// append to the number; a leading 0 and digits past the ninth are not taken, so the number
// always fits an int.
class NumberInput : public QDialog {
    Q_OBJECT
public:
    static constexpr int maxDigits = 9;

    explicit NumberInput(const QString& caption, QWidget* parent = nullptr);
    ~NumberInput() override;

    // The number taken with OK; -1 after "キャンセル", closing, or OK with no digit.
    int value() const { return number; }

    static int ask(const QString& caption, QWidget* parent);

private:
    void typeDigit(QChar digit);
    void takeBack();

    Ui::NumberInput* ui;
    int number = -1;
};
