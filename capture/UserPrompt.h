#pragma once

#include <QString>
#include <functional>

// How logic tells the user something in the middle of its work. The program routes it to
// its message dialog; tests record it. Without a handler the text only goes to the log.
class UserPrompt {
public:
    using Handler = std::function<void(const QString& text)>;

    static void showMessage(const QString& text);
    static void setMessageHandler(Handler handler);
};
