#pragma once

#include <QString>
#include <functional>

// How logic tells the user something in the middle of its work. The program routes it to
// its message dialog; tests record it. Without a handler the text only goes to the log.
class UserPrompt {
public:
    using Handler = std::function<void(const QString& text)>;

    using QuestionHandler = std::function<bool(const QString& question)>;

    static void showMessage(const QString& text);
    static void setMessageHandler(Handler handler);

    // The same without waiting for the user, for work that goes on (a series that keeps
    // taking frames). Without a notice handler it goes the way of showMessage.
    static void showNotice(const QString& text);
    static void setNoticeHandler(Handler handler);

    // A yes/no question; true for "はい". Without a handler the answer is no.
    static bool askYesNo(const QString& question);
    static void setQuestionHandler(QuestionHandler handler);
};
