#include "TelePosDialog.h"

#include "ui_TelePosDialog.h"

TelePosDialog::TelePosDialog(const QString& sentence, bool objectEast, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::TelePosDialog) {
    ui->setupUi(this);
    setFixedSize(size());
    ui->labelSentence->setText(sentence);
    // West is worth thinking of only for an object east of the meridian.
    ui->labelHintWest->setVisible(objectEast);
    const auto answerWith = [this](int value) {
        chosen = value;
        close();
    };
    connect(ui->pushButtonEast, &QPushButton::clicked, this, [answerWith] { answerWith(1); });
    connect(ui->pushButtonWest, &QPushButton::clicked, this, [answerWith] { answerWith(2); });
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, [answerWith] { answerWith(0); });
}

TelePosDialog::~TelePosDialog() {
    delete ui;
}

int TelePosDialog::ask(const QString& sentence, bool objectEast, QWidget* parent) {
    TelePosDialog dialog(sentence, objectEast, parent);
    dialog.exec();
    return dialog.answer();
}
