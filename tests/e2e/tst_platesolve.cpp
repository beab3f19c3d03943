// Plate solving from the goto window on the simulated observatory. With the real solver: the
// shot of a field, solved, becomes the telescope's position and the mount's sync point, and
// the camera's turn on the sky turns the view. With a stand-in: what the user is told when a
// solve cannot start or fails, a stale result never read, and "中断" ending the solver.
#include "CameraDevice.h"
#include "Clock.h"
#include "E2eMount.h"
#include "E2eProgram.h"
#include "FakePlateSolver.h"
#include "Goto.h"
#include "ImageDisplay.h"
#include "InstallPlateSolver.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "MessageDialog.h"
#include "PlateSolve.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "SimObservatory.h"
#include "UserPrompt.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>
#include <cmath>
#include <csignal>

namespace {

struct Solving {
    E2eProgram e2e;
    Goto* window = nullptr;

    explicit Solving(const E2eProgram::Options& options = {})
        : e2e(options) {}

    bool open() {
        e2e.settings().plateExp = 1;
        if (!connectMount(e2e) || !e2e.press("pushButton_58"))
            return false;
        window = e2e.window().gotoWindowOpen();
        return window != nullptr;
    }
    void press() {
        QTest::mouseClick(window->findChild<QPushButton*>("pushButton_26"), Qt::LeftButton);
    }
    bool messageShown(const QString& text, int timeoutMs = 60000) {
        return e2e.runUntil([&] { return e2e.messages.contains(text); }, timeoutMs);
    }
    // The progress box with that text, when it is up.
    MessageDialog* progress(const QString& text) {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<MessageDialog*>(widget))
                if (box->isVisible() && box->text() == text)
                    return box;
        return nullptr;
    }
    QString solverFile(const char* name) const { return e2e.driveRoot() + "/" + name; }
};

bool alive(qint64 pid) {
    return ::kill(pid_t(pid), 0) == 0;
}

} // namespace

class TestPlateSolve : public QObject {
    Q_OBJECT
private slots:
    void solvesAndSyncs();
    void refusals();
    void failures_data();
    void failures();
    void abort();
    void declinedAfterTheShot();
};

// The program believes the telescope points 1.5 degrees from where it does, the camera turned
// 98 degrees on the sky: a solve puts both right.
void TestPlateSolve::solvesAndSyncs() {
    Solving s;
    installPlateSolver(s.e2e.driveRoot());
    s.e2e.program().sim()->optics().rotationDeg = 98;
    QVERIFY(s.open());
    s.e2e.settings().plateExp = 10;
    const SimOptics truth = s.e2e.program().sim()->opticsAt(Clock::nowMs());
    GotoActions& actions = s.window->actions();
    actions.pickedRa = truth.pointingRa + 1.5;
    actions.pickedDec = truth.pointingDec;
    actions.pickedValid = true;
    QTest::mouseClick(s.window->findChild<QPushButton*>("pushButton_18"), Qt::LeftButton);
    s.e2e.runFor(1500);
    QVERIFY(std::abs(s.e2e.state().syncPointRa - truth.pointingRa - 1.5) < 0.01);

    s.press();
    QVERIFY(s.e2e.runUntil(
        [&] { return s.e2e.log.lines().filter(QRegularExpression("^ra=")).size() == 1; }, 120000));
    const QString solved = s.e2e.log.lines().filter(QRegularExpression("^ra=")).first();
    QVERIFY2(QRegularExpression("^ra=\\S+, dec=\\S+ fovW=165 fovH=112, imageScale=2\\.39 ")
                 .match(solved)
                 .hasMatch(),
             qPrintable(solved));
    QCOMPARE(s.e2e.messages, (QStringList{QStringLiteral("撮影焦点距離400mmです、続行しますか?"),
                                          QStringLiteral("撮影終了、続行しますか?")}));
    // The deferred sync has made the solved place the mount's base.
    s.e2e.runFor(2000);
    const SimOptics now = s.e2e.program().sim()->opticsAt(Clock::nowMs());
    const double cosDec = std::cos(now.pointingDec * M_PI / 180);
    QVERIFY(std::abs(std::remainder(s.e2e.state().syncPointRa - now.pointingRa, 360)) * cosDec <
            0.02);
    QVERIFY(std::abs(s.e2e.state().syncPointDec - now.pointingDec) < 0.02);
    QVERIFY(!actions.deferSync);
    QCOMPARE(s.e2e.program().display().view().cameraRotation, 3);
}

// What stops a solve before the shot.
void TestPlateSolve::refusals() {
    {
        Solving s;
        QVERIFY(s.open());
        s.press();
        QCOMPARE(s.e2e.messages.last(),
                 QStringLiteral("プレートソルバーがインストールされていません。"));
        installFakePlateSolver(s.e2e.driveRoot());
        const double pixel = s.e2e.state().camera->pixelSizeUm;
        s.e2e.state().camera->pixelSizeUm = 0;
        s.e2e.messages.clear();
        s.press();
        QCOMPARE(s.e2e.messages,
                 (QStringList{QStringLiteral("CMOSカメラのピクセルサイズが登録されていません。"),
                              QStringLiteral("Orlentにご連絡ください。")}));
        s.e2e.state().camera->pixelSizeUm = pixel;
        // A series is running: its exposure is not cut short for a solve.
        s.e2e.messages.clear();
        QVERIFY(s.e2e.press("pushButton_6"));
        QVERIFY(s.e2e.runUntil([&] { return s.e2e.state().captureState == 2; }));
        s.press();
        QVERIFY(s.e2e.messages.isEmpty());
        QCOMPARE(s.e2e.state().captureState.load(), 2);
        QVERIFY(!s.window->plateSolve().inProgress());
        QVERIFY(s.e2e.press("pushButton_6"));
    }
    E2eProgram::Options noCamera;
    noCamera.cameras = "";
    Solving s(noCamera);
    QVERIFY(s.open());
    s.press();
    QVERIFY(s.e2e.messages.contains(
        QStringLiteral("撮影カメラがないのでプレートソルビングできません。")));
}

void TestPlateSolve::failures_data() {
    QTest::addColumn<QByteArray>("solver");
    QTest::addColumn<QString>("message");
    QTest::newRow("ends without a result") << QByteArray("exit") << "解析失敗1";
    QTest::newRow("no solution") << QByteArray("error") << "解析失敗2";
}

// A result from an earlier solve lies in the data folder; the solver fails: the user is told,
// the old result is never taken, and the mount is not synced.
void TestPlateSolve::failures() {
    QFETCH(QByteArray, solver);
    QFETCH(QString, message);
    qputenv("VESPERIX_FAKE_SOLVER", solver);
    Solving s;
    QVERIFY(s.open());
    installFakePlateSolver(s.e2e.driveRoot());
    QFile stale(s.e2e.dataPath("result.txt"));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("OK\n10.00\n20.00\n165\n112\n2.39\n-90\n");
    stale.close();
    const double ra = s.e2e.state().syncPointRa, dec = s.e2e.state().syncPointDec;
    s.press();
    QVERIFY(s.messageShown(message));
    QVERIFY(QFile::exists(s.solverFile("fake-solver.args")));
    s.e2e.runFor(2000);
    // Only the half-second updates of the tracking mount moved it.
    QVERIFY(std::abs(std::remainder(s.e2e.state().syncPointRa - ra, 360)) < 0.05);
    QVERIFY(std::abs(s.e2e.state().syncPointDec - dec) < 0.05);
    QVERIFY(!s.window->actions().deferSync);
    QVERIFY(s.window->isVisible());
    QVERIFY(!s.window->plateSolve().inProgress());
}

// "中断" while the solver works: the solver and its child go, a process of someone else's
// lives on.
void TestPlateSolve::abort() {
    qputenv("VESPERIX_FAKE_SOLVER", "never");
    Solving s;
    QVERIFY(s.open());
    installFakePlateSolver(s.e2e.driveRoot());
    QProcess bystander;
    bystander.start("sleep", {"300"});
    QVERIFY(bystander.waitForStarted());
    s.press();
    QVERIFY(s.e2e.runUntil([&] { return QFile::exists(s.solverFile("fake-solver.pids")); }));
    QFile pids(s.solverFile("fake-solver.pids"));
    QVERIFY(s.e2e.runUntil([&] { return pids.size() > 0; }));
    QVERIFY(pids.open(QIODevice::ReadOnly));
    const QList<QByteArray> ids = pids.readAll().simplified().split(' ');
    QCOMPARE(ids.size(), 2);
    MessageDialog* box = s.progress(QStringLiteral("解析中"));
    QVERIFY(box);
    saveScreenshot(box, "PlateSolve progress");
    QVERIFY(s.window->plateSolve().inProgress());
    QTest::mouseClick(box->findChild<QPushButton*>("pushButton"), Qt::LeftButton);
    QVERIFY(s.e2e.runUntil(
        [&] { return !alive(ids[0].toLongLong()) && !alive(ids[1].toLongLong()); }, 10000));
    QVERIFY(s.e2e.log.contains("plate end"));
    QCOMPARE(bystander.state(), QProcess::Running);
    bystander.kill();
    bystander.waitForFinished();
    QVERIFY(s.window->isVisible());
}

// "いいえ" to going on after the shot: no solver runs.
void TestPlateSolve::declinedAfterTheShot() {
    qputenv("VESPERIX_FAKE_SOLVER", "ok");
    Solving s;
    QVERIFY(s.open());
    installFakePlateSolver(s.e2e.driveRoot());
    UserPrompt::setQuestionHandler([&](const QString& question) {
        s.e2e.messages << question;
        return question != QStringLiteral("撮影終了、続行しますか?");
    });
    s.press();
    QVERIFY(s.messageShown(QStringLiteral("撮影終了、続行しますか?")));
    s.e2e.runFor(3000);
    QVERIFY(!QFile::exists(s.solverFile("fake-solver.args")));
    QVERIFY(s.window->isVisible());
    QVERIFY(s.e2e.log.contains("ret=2"));
}

QTEST_MAIN(TestPlateSolve)
#include "tst_platesolve.moc"
