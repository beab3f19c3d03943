// The goto window on a mount that answers from a script: its texts and looks, the actions'
// refusals and deferrals, and what closing it keeps.
#include "Goto.h"
#include "MountControl.h"
#include "PositionUpdate.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsFile.h"
#include "SettingsRecord.h"
#include "StandingController.h"
#include "TelePosDialog.h"
#include "TestDrives.h"
#include "UserPrompt.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

struct Window {
    TestDrives drives;
    SettingsRecord settings;
    ProcessState state;
    StandingController controller;
    std::unique_ptr<MountControl> mount;
    PositionUpdate positions{state.syncPointRa, state.syncPointDec};
    Goto* window = nullptr;
    QStringList messages;

    Window() {
        settings.setDefaults();
        ensureSettingsPath(settings);
        state.settings = &settings;
        mount = std::make_unique<MountControl>(controller, settings, state.syncPointRa,
                                               state.syncPointDec, state.pierSide);
        mount->initMount();
        state.mount = mount.get();
        controller.sent.clear();
        UserPrompt::setMessageHandler([this](const QString& text) { messages << text; });
        window = new Goto(state, positions);
        window->show();
    }
    ~Window() {
        delete window;
        UserPrompt::setMessageHandler(nullptr);
    }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    void press(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
};

} // namespace

class TestGotoWindow : public QObject {
    Q_OBJECT
private slots:
    void textsAndLooks();
    void refusalsMoveNothing();
    void gotoWhileBusyRunsAPassLater();
    void closingKeepsTheScopePosition();
};

void TestGotoWindow::textsAndLooks() {
    Window w;
    const struct {
        const char* button;
        const char* text;
    } texts[] = {{"pushButton_18", "同期"},
                 {"pushButton_19", "GOTO"},
                 {"pushButton_20", "停止"},
                 {"pushButton_22", "北方向ボタン"},
                 {"pushButton_23", "+"},
                 {"pushButton_24", "-"},
                 {"pushButton_30", "HOMEからGOTO"},
                 {"pushButton_31", "HOMEへ"},
                 {"pushButton_12", "天頂"},
                 {"pushButton", "終了"}};
    for (const auto& t : texts)
        QCOMPARE(w.button(t.button)->text(), QString::fromUtf8(t.text));
    QCOMPARE(w.window->findChild<QGroupBox*>()->title(), QStringLiteral("赤緯回転方向チェック"));
    QVERIFY(w.state.gotoOpen);
    // decDir 0 is "+": it shows red, "-" blue; "-" turns them round.
    QCOMPARE(w.button("pushButton_23")->styleSheet(), QString("background-color:red;color:white"));
    w.press("pushButton_24");
    QCOMPARE(w.settings.decDir, 1);
    QCOMPARE(w.button("pushButton_23")->styleSheet(),
             QString("background-color:rgb(0, 85, 255);color:white"));
    QCOMPARE(w.button("pushButton_24")->styleSheet(), QString("background-color:red;color:white"));
    saveScreenshot(w.window, "GotoWindow");
    // The pier-side question as the user sees it.
    TelePosDialog question(QStringLiteral("対象天体は子午線より20°東にあります。"), true);
    question.show();
    saveScreenshot(&question, "TelePosDialog");
    QVERIFY(question.findChild<QLabel*>("labelHintWest")->isVisible());
}

void TestGotoWindow::refusalsMoveNothing() {
    Window w;
    // No HOME goto yet: the way back to HOME is refused.
    w.press("pushButton_31");
    QCOMPARE(w.messages, QStringList{QStringLiteral("HOMEからのGOTOをしていないので無効です")});
    // Cancelling the pier-side question moves nothing and keeps the pier side.
    QString asked;
    w.window->actions().askPierSide = [&](const QString& sentence, bool) {
        asked = sentence;
        return 0;
    };
    w.press("pushButton_30");
    QVERIFY(asked.startsWith(QStringLiteral("対象天体は子午線より")));
    QCOMPARE(w.state.pierSide, -1);
    QVERIFY(w.controller.sent.isEmpty());
}

void TestGotoWindow::gotoWhileBusyRunsAPassLater() {
    Window w;
    GotoActions& actions = w.window->actions();
    actions.pickedRa = w.state.syncPointRa + 10;
    actions.pickedDec = w.state.syncPointDec + 5;
    actions.pickedValid = true;
    {
        MountControl::Conversation busy(*w.mount);
        w.press("pushButton_19");
        QVERIFY(actions.deferGoto);
        QVERIFY(w.controller.sent.isEmpty());
        actions.serveDeferred(); // still busy: still kept
        QVERIFY(actions.deferGoto);
    }
    actions.serveDeferred();
    QVERIFY(!actions.deferGoto);
    QCOMPARE(w.controller.sent.filter(":G").size(), 2); // RA and Dec
    QCOMPARE(actions.targetRa, w.state.syncPointRa + 10);
}

void TestGotoWindow::closingKeepsTheScopePosition() {
    Window w;
    GotoActions& actions = w.window->actions();
    actions.pickedRa = 123.4567;
    actions.pickedDec = -12.3456;
    actions.pickedValid = true;
    w.press("pushButton_18"); // sync on it
    QCOMPARE(w.state.syncPointRa, 123.4567);
    QPointer<Goto> window(w.window);
    w.press("pushButton");
    QTRY_VERIFY(!window);
    w.window = nullptr;
    QCOMPARE(w.settings.raBase1000, 123456);
    QCOMPARE(w.settings.decBase1000, -12345);
    QVERIFY(w.drives.readSettingsFile("Vesperix.ini").contains("raBase1000 123456\n"));
    QVERIFY(!w.state.gotoOpen);
}

QTEST_MAIN(TestGotoWindow)
#include "tst_gotowindow.moc"
