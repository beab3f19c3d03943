// The autoguider end to end on the simulated observatory: when its window may open, the guide
// camera's chooser, its frames at 640 x 480, and a second opening after "終了".
#include "AutoGuider.h"
#include "E2eMount.h"
#include "E2eProgram.h"
#include "GuideCameraReadThread.h"
#include "GuiderService.h"
#include "MainProgram.h"
#include "ProcessState.h"
#include "Screenshot.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

AutoGuider* guider(E2eProgram& e2e) {
    return e2e.program().guider().window();
}

// Waits for the guide camera's chooser, then picks the row naming `camera`.
struct CameraChoice {
    explicit CameraChoice(const QString& camera) {
        QObject::connect(&poll, &QTimer::timeout, [this, camera] {
            QWidget* dialog = QApplication::activeModalWidget();
            auto* rows = dialog ? dialog->findChild<QListWidget*>("listWidget") : nullptr;
            if (!rows)
                return;
            prompt = dialog->findChild<QLabel*>("label")->text();
            const QList<QListWidgetItem*> found = rows->findItems(camera, Qt::MatchContains);
            if (!found.isEmpty())
                rows->setCurrentItem(found.first());
            dialog->findChild<QPushButton*>("pushButton")->click();
        });
        poll.start(5);
    }
    QTimer poll;
    QString prompt;
};

} // namespace

class TestGuider : public QObject {
    Q_OBJECT
private slots:
    void init() { renewProcessState(); }
    void opening();
};

void TestGuider::opening() {
    {
        E2eProgram::Options mainOnly;
        mainOnly.cameras = "ASI294MC";
        E2eProgram e2e(mainOnly);
        PortChoice port(true);
        QVERIFY(e2e.press("pushButton_59"));
        QCOMPARE(e2e.messages.value(0), QString("ガイドカメラがありません"));
        QVERIFY(!guider(e2e));
    }
    renewProcessState();
    E2eProgram::Options options;
    options.cameras = "ASI294MC,ASI120MM,ASI2600MC";
    std::unique_ptr<CameraChoice> mainChoice = std::make_unique<CameraChoice>("ASI294MC");
    E2eProgram e2e(options);
    mainChoice.reset();

    // Not in live view.
    QVERIFY(e2e.press("pushButton_7"));
    QVERIFY(e2e.press("pushButton_59"));
    QCOMPARE(e2e.messages.value(0), QString("ライブビュー中は起動できません"));
    QVERIFY(e2e.press("pushButton_7"));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 0; }));
    QVERIFY(!guider(e2e));

    // Not without the mount.
    {
        PortChoice cancel(false);
        QVERIFY(e2e.press("pushButton_59"));
    }
    QVERIFY(!guider(e2e));

    // Two cameras besides the main one: the user picks the small one.
    {
        PortChoice port(true);
        CameraChoice choice("ASI120MM");
        QVERIFY(e2e.press("pushButton_59"));
        QCOMPARE(choice.prompt, QString("ガイドカメラを選択してください"));
    }
    QVERIFY(guider(e2e));
    QVERIFY(e2e.log.lines().filter("cameraName=").last().contains("ASI120MM"));
    QVERIFY(e2e.log.lines().contains("2*2 Binning Enable"));
    const long before = e2e.program().guider().reader().framesRead();
    QVERIFY(e2e.runUntil([&] {
        const QPixmap shown =
            guider(e2e)->findChild<QLabel*>("previewWindow")->pixmap(Qt::ReturnByValue);
        return !shown.isNull() && e2e.program().guider().reader().framesRead() > before + 2;
    }));
    const QPixmap shown =
        guider(e2e)->findChild<QLabel*>("previewWindow")->pixmap(Qt::ReturnByValue);
    QCOMPARE(shown.size(), QSize(640, 480));
    saveScreenshot(guider(e2e), "AutoGuider");

    // "終了", then open again: the same camera without asking.
    QVERIFY(guider(e2e)->findChild<QPushButton*>("pushButton_29"));
    guider(e2e)->findChild<QPushButton*>("pushButton_29")->click();
    e2e.runFor(100);
    QVERIFY(!guider(e2e));
    QVERIFY(e2e.press("pushButton_59"));
    QVERIFY(guider(e2e));
    const long reopened = e2e.program().guider().reader().framesRead();
    QVERIFY(
        e2e.runUntil([&] { return e2e.program().guider().reader().framesRead() > reopened + 2; }));
}

QTEST_MAIN(TestGuider)
#include "tst_guider.moc"
