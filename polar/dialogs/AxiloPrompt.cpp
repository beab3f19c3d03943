#include "AxiloPrompt.h"

#include "CameraList.h"
#include "OkDialog.h"
#include "TouchFont.h"

#include <QApplication>
#include <QMessageBox>

namespace {

AxiloPrompt::MessageHandler messageHandler;
AxiloPrompt::QuestionHandler questionHandler;
AxiloPrompt::CameraHandler cameraHandler;

// A question box with buttons big enough for a finger.
bool askWithBox(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setStyleSheet("QPushButton { min-width: 140px; min-height: 56px; }");
    TouchFont::apply(&box);
    return box.exec() == QMessageBox::Ok;
}

int chooseFromList(const QStringList& entries) {
    CameraList list(entries, QApplication::activeWindow());
    list.setPrompt(QStringLiteral("カメラを選択してください."));
    return list.exec() == QDialog::Accepted ? list.chosenIndex() : -1;
}

} // namespace

void AxiloPrompt::showMessage(const QString& text) {
    if (messageHandler) {
        messageHandler(text);
        return;
    }
    OkDialog dialog(text, QApplication::activeWindow());
    dialog.exec();
}

bool AxiloPrompt::ask(const QString& title, const QString& text) {
    return questionHandler ? questionHandler(title, text) : askWithBox(title, text);
}

int AxiloPrompt::chooseCamera(const QStringList& entries) {
    return cameraHandler ? cameraHandler(entries) : chooseFromList(entries);
}

void AxiloPrompt::setMessageHandler(MessageHandler handler) {
    messageHandler = std::move(handler);
}

void AxiloPrompt::setQuestionHandler(QuestionHandler handler) {
    questionHandler = std::move(handler);
}

void AxiloPrompt::setCameraHandler(CameraHandler handler) {
    cameraHandler = std::move(handler);
}
