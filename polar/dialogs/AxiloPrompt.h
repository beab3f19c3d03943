#pragma once

#include <QStringList>
#include <functional>

// Where the polar program asks the user something in the middle of its work. By default the
// real modal dialogs, over the active window; a test installs its own handler instead, and
// nullptr puts the dialog back.
class AxiloPrompt {
public:
    using MessageHandler = std::function<void(const QString& text)>;
    using QuestionHandler = std::function<bool(const QString& title, const QString& text)>;
    using CameraHandler = std::function<int(const QStringList& entries)>;

    // An OkDialog with the text, over the program that goes on behind it.
    static void showMessage(const QString& text);
    // An OK / Cancel question; true for OK.
    static bool ask(const QString& title, const QString& text);
    // The camera list; the index of the chosen entry, -1 when it was closed without one.
    static int chooseCamera(const QStringList& entries);

    static void setMessageHandler(MessageHandler handler);
    static void setQuestionHandler(QuestionHandler handler);
    static void setCameraHandler(CameraHandler handler);
};
