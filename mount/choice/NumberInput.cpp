#include "NumberInput.h"

#include "TouchFont.h"
#include "ui_NumberInput.h"

NumberInput::NumberInput(const QString& caption, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::NumberInput) {
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
    connect(ui->pushButtonBack, &QPushButton::clicked, this, &NumberInput::takeBack);
    connect(ui->pushButtonOk, &QPushButton::clicked, this, [this] {
        const QString text = ui->labelNumber->text();
        if (text.isEmpty()) {
            reject();
            return;
        }
        number = text.toInt();
        accept();
    });
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

NumberInput::~NumberInput() {
    delete ui;
}

void NumberInput::typeDigit(QChar digit) {
    const QString text = ui->labelNumber->text();
    if ((text.isEmpty() && digit == '0') || text.size() >= maxDigits)
        return;
    ui->labelNumber->setText(text + digit);
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
