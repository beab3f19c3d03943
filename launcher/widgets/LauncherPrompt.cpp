#include "LauncherPrompt.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

LauncherPrompt::MessageHandler messageHandler;

void showMessageBox(const QString& text) {
    QDialog box(QApplication::activeWindow());
    box.setWindowTitle(QStringLiteral("メッセージ"));
    box.setFixedSize(727, 217);
    box.setStyleSheet("QWidget { font-size: 20px; }"
                      "QPushButton { min-width: 160px; min-height: 60px; }");
    auto* label = new QLabel(text);
    label->setObjectName("label");
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName("pushButton");
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(label, 1);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    box.exec();
}

} // namespace

void LauncherPrompt::showMessage(const QString& text) {
    if (messageHandler)
        messageHandler(text);
    else
        showMessageBox(text);
}

void LauncherPrompt::setMessageHandler(MessageHandler handler) {
    messageHandler = std::move(handler);
}
