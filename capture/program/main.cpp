// The main program: start-up in its fixed order, then the endless main loop.
#include "HostPath.h"
#include "MainProgram.h"
#include "MessageDialog.h"
#include "SystemGamepad.h"
#include "Translation.h"
#include "UserPrompt.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    installTranslation(app);
    UserPrompt::setMessageHandler(showMessage);
    UserPrompt::setNoticeHandler(
        [](const QString& text) { showMessageModeless(text, QStringLiteral("閉じる")); });
    UserPrompt::setQuestionHandler([](const QString& question) {
        int answer = 0;
        yesNoDialog(question, &answer);
        return answer == 1;
    });

    QStringList arguments = app.arguments();
    arguments[0] = HostPath::fromHost(QCoreApplication::applicationFilePath());
    installSystemGamepad();
    MainProgram program;
    program.start(arguments);
    return program.run();
}
