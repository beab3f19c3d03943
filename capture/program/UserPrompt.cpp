#include "UserPrompt.h"

#include "DebugLog.h"

namespace {
UserPrompt::Handler& messageHandler() {
    static UserPrompt::Handler handler;
    return handler;
}
UserPrompt::Handler& noticeHandler() {
    static UserPrompt::Handler handler;
    return handler;
}
UserPrompt::QuestionHandler& questionHandler() {
    static UserPrompt::QuestionHandler handler;
    return handler;
}
} // namespace

void UserPrompt::showMessage(const QString& text) {
    if (messageHandler())
        messageHandler()(text);
    else
        debugLog("message: %s", text.toUtf8().constData());
}

void UserPrompt::setMessageHandler(Handler handler) {
    messageHandler() = std::move(handler);
}

void UserPrompt::showNotice(const QString& text) {
    if (noticeHandler())
        noticeHandler()(text);
    else
        showMessage(text);
}

void UserPrompt::setNoticeHandler(Handler handler) {
    noticeHandler() = std::move(handler);
}

bool UserPrompt::askYesNo(const QString& question) {
    if (!questionHandler()) {
        debugLog("question: %s", question.toUtf8().constData());
        return false;
    }
    return questionHandler()(question);
}

void UserPrompt::setQuestionHandler(QuestionHandler handler) {
    questionHandler() = std::move(handler);
}
