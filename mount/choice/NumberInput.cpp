#include "NumberInput.h"

#include "TouchFont.h"
#include "ui_NumberInput.h"

NumberInput::NumberInput(const QString& caption, QWidget* parent, Kind keypadKind)
    : QDialog(parent)
    , ui(new Ui::NumberInput)
    , kind(keypadKind) {
    ui->setupUi(this);
    TouchFont::apply(this);
    // The number itself larger than the keys, to be read at arm's length.
    QFont large = ui->labelNumber->font();
    large.setPixelSize(28);
    ui->labelNumber->setFont(large);
    setFixedSize(size());
    setWindowTitle(caption);
    ui->labelCaption->setText(caption);
    QPushButton* const keys[] = {ui->pushButton0, ui->pushButton1, ui->pushButton2, ui->pushButton3,
                                 ui->pushButton4, ui->pushButton5, ui->pushButton6, ui->pushButton7,
                                 ui->pushButton8, ui->pushButton9};
    for (int digit = 0; digit <= 9; ++digit)
        connect(keys[digit], &QPushButton::clicked, this,
                [this, digit] { typeDigit(QChar('0' + digit)); });
    if (kind == Kind::Decimal) {
        // The point key goes under the 8, and the back key narrows to under the 9.
        const QRect back = ui->pushButtonBack->geometry();
        ui->pushButtonBack->setGeometry(ui->pushButton9->x(), back.y(), ui->pushButton9->width(),
                                        back.height());
        connect(ui->pushButtonPoint, &QPushButton::clicked, this, &NumberInput::typePoint);
    } else {
        ui->pushButtonPoint->hide();
    }
    connect(ui->pushButtonBack, &QPushButton::clicked, this, &NumberInput::takeBack);
    connect(ui->pushButtonOk, &QPushButton::clicked, this, [this] {
        const QString text = ui->labelNumber->text();
        if (text.isEmpty()) {
            reject();
            return;
        }
        taken = text;
        accept();
    });
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

NumberInput::~NumberInput() {
    delete ui;
}

std::optional<double> NumberInput::decimalValue() const {
    if (taken.isEmpty())
        return std::nullopt;
    return taken.toDouble();
}

void NumberInput::typeDigit(QChar digit) {
    QString text = ui->labelNumber->text();
    if (text.size() >= maxDigits)
        return;
    if (text.isEmpty() && digit == '0' && kind == Kind::Whole)
        return;
    if (text == "0") // a decimal's lone 0 gives way to the next digit
        text.clear();
    ui->labelNumber->setText(text + digit);
}

void NumberInput::typePoint() {
    QString text = ui->labelNumber->text();
    if (text.contains('.') || text.size() >= maxDigits)
        return;
    ui->labelNumber->setText((text.isEmpty() ? QStringLiteral("0") : text) + '.');
}

void NumberInput::takeBack() {
    QString text = ui->labelNumber->text();
    text.chop(1);
    ui->labelNumber->setText(text);
}

int NumberInput::ask(const QString& caption, QWidget* parent) {
    NumberInput dialog(caption, parent);
    dialog.exec();
    return dialog.value();
}

std::optional<double> NumberInput::askDecimal(const QString& caption, QWidget* parent) {
    NumberInput dialog(caption, parent, Kind::Decimal);
    dialog.exec();
    return dialog.decimalValue();
}
