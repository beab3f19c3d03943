#include "UserPrompt.h"

#include "DebugLog.h"

namespace {
UserPrompt::Handler& messageHandler() {
    static UserPrompt::Handler handler;
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
