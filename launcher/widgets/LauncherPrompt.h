#pragma once

#include <QString>
#include <functional>

// Where the launcher tells the user something: the launcher's message box ("メッセージ", a
// text and OK, modal) over the active window. A test installs its own handler instead, and
// nullptr puts the message box back.
class LauncherPrompt {
public:
    using MessageHandler = std::function<void(const QString& text)>;

    static void showMessage(const QString& text);
    static void setMessageHandler(MessageHandler handler);
};
