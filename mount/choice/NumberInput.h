#pragma once

#include <QDialog>
#include <optional>

namespace Ui {
class NumberInput;
}

// A keypad for a number under the caller's caption ("M", "IC", "NGC", ...). Digit keys append
// to the number; past the ninth character nothing more is taken, so a whole number always fits
// an int. The whole-number keypad takes no leading 0; the decimal one has a point key as well,
// taken once.
class NumberInput : public QDialog {
    Q_OBJECT
public:
    static constexpr int maxDigits = 9;
    enum class Kind { Whole, Decimal };

    explicit NumberInput(const QString& caption, QWidget* parent = nullptr,
                         Kind kind = Kind::Whole);
    ~NumberInput() override;

    // The whole number taken with OK; -1 after "キャンセル", closing, or OK with no digit.
    int value() const { return taken.isEmpty() ? -1 : taken.toInt(); }
    // The decimal number taken with OK; nothing after "キャンセル", closing, or OK with no digit.
    std::optional<double> decimalValue() const;

    static int ask(const QString& caption, QWidget* parent);
    static std::optional<double> askDecimal(const QString& caption, QWidget* parent);

private:
    void typeDigit(QChar digit);
    void typePoint();
    void takeBack();

    Ui::NumberInput* ui;
    Kind kind;
    QString taken;
};
