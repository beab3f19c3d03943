#include "MessageDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const dialogStyle = "QDialog { background-color: rgb(52, 52, 52); }"
                                "QLabel { color: white; }"
                                "QPushButton { background-color: rgb(80, 80, 80); color: white;"
                                " min-width: 120px; min-height: 50px; }";

QWidget* frontWindow() {
    return QApplication::activeWindow();
}

} // namespace

MessageDialog::MessageDialog(const QString& text, const QString& buttonText, QWidget* parent)
    : QDialog(parent)
    , label(new QLabel(text)) {
    setStyleSheet(dialogStyle);
    QFont big = font();
    big.setPointSize(16);
    setFont(big);
    label->setWordWrap(true);
    label->setMinimumWidth(420);
    auto* close = new QPushButton(buttonText);
    close->setObjectName("pushButton");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(close, 0, Qt::AlignHCenter);
}

QString MessageDialog::text() const {
    return label->text();
}

void MessageDialog::setText(const QString& text) {
    label->setText(text);
}

void showMessage(const QString& text) {
    MessageDialog dialog(text, QStringLiteral("閉じる"), frontWindow());
    dialog.exec();
}

void showMessageModeless(const QString& text, const QString& buttonText) {
    auto* dialog = new MessageDialog(text, buttonText, frontWindow());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void yesNoDialog(const QString& question, int* answer) {
    QDialog dialog(frontWindow());
    dialog.setStyleSheet(dialogStyle);
    QFont big = dialog.font();
    big.setPointSize(16);
    dialog.setFont(big);
    auto* label = new QLabel(question);
    label->setWordWrap(true);
    label->setMinimumWidth(420);
    auto* yes = new QPushButton(QStringLiteral("はい"));
    yes->setObjectName("pushButton");
    auto* no = new QPushButton(QStringLiteral("いいえ"));
    no->setObjectName("pushButton_2");
    QObject::connect(yes, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(no, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(yes);
    buttons->addWidget(no);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addLayout(buttons);
    *answer = dialog.exec() == QDialog::Accepted ? 1 : 0;
}
