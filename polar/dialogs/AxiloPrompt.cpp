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

// Dark like the program's dialogs, with buttons big enough for a finger.
const char* const questionStyle =
    "QMessageBox { background-color: rgb(40, 40, 40); }"
    "QLabel { color: white; min-width: 420px; min-height: 80px; }"
    "QPushButton { background-color: rgb(70, 70, 70); color: white;"
    " border: 1px solid rgb(110, 110, 110); border-radius: 4px; min-width: 140px;"
    " min-height: 56px; }"
    "QPushButton:pressed { background-color: rgb(110, 110, 110); }";

bool askWithBox(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setStyleSheet(questionStyle);
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
    // Modal to the user, not to the program: the main loop and the picture go on behind it.
    auto* dialog = new OkDialog(text, QApplication::activeWindow());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
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
