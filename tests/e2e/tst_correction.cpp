// Dark subtraction and flat correction end to end: what a frame's correction flags say was
// done to it, and the correction of a stored file from the main window.
#include "DataFolder.h"
#include "E2eFrames.h"
#include "E2eProgram.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "ProcessState.h"
#include "SettingsRecord.h"
#include "SimCamera.h"
#include "TimerThread.h"

#include <QtTest>

namespace {

// A master of two frames with the camera looking at `scene`, made by `button` in idle; the
// program is back in idle afterwards and the camera looks at the sky again.
bool makeMaster(E2eProgram& e2e, const char* button, SimScene scene) {
    shortSeries(e2e.settings(), 2, 1, 0);
    e2e.camera().setScene(scene);
    const QString before = e2e.settings().preDark + e2e.settings().preFlat;
    if (!e2e.press(button) ||
        !e2e.runUntil([&] { return e2e.settings().preDark + e2e.settings().preFlat != before; }) ||
        !e2e.runUntil([&] { return e2e.state().captureState == 3; }) || !e2e.press("pushButton_32"))
        return false;
    e2e.camera().setScene(SimScene::Sky);
    return true;
}

QStringList lightFrames(const E2eProgram& e2e) {
    return e2e.dataFiles().filter(QRegularExpression("^M"));
}

// Whether the hot pixels of the master dark are gone from the frame.
bool darkSubtracted(E2eProgram& e2e, const QString& name) {
    cv::Mat dark, frame;
    dataOf(e2e.dataPath(e2e.settings().preDark), &dark);
    dataOf(e2e.dataPath(name), &frame);
    return std::abs(hotExcess(frame, hotPixels(dark))) < 200;
}

} // namespace

class TestCorrection : public QObject {
    Q_OBJECT
private slots:
    void correctionFlags_data();
    void correctionFlags();
    void singleFileCorrection();
};

void TestCorrection::correctionFlags_data() {
    QTest::addColumn<bool>("masterDark");
    QTest::addColumn<bool>("onAtStart");
    QTest::addColumn<QString>("switchButton"); // pressed between the first and second frame
    QTest::addColumn<QList<int>>("flags");     // of the three light frames
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("no master dark, switched on")
        << false << false << "pushButton_26" << QList<int>{0, 0, 0}
        << QStringList{QStringLiteral("ダークファイルがありません")};
    QTest::newRow("master dark, switched on")
        << true << false << "pushButton_26" << QList<int>{0, 1, 1} << QStringList{};
    QTest::newRow("master dark, switched off")
        << true << true << "pushButton_27" << QList<int>{1, 0, 0} << QStringList{};
}

void TestCorrection::correctionFlags() {
    QFETCH(bool, masterDark);
    QFETCH(bool, onAtStart);
    QFETCH(QString, switchButton);
    QFETCH(QList<int>, flags);
    QFETCH(QStringList, messages);
    E2eProgram e2e;
    if (masterDark)
        QVERIFY(makeMaster(e2e, "pushButton_33", SimScene::CapOn));
    if (onAtStart)
        QVERIFY(e2e.press("pushButton_26"));
    shortSeries(e2e.settings(), 3, 1, 1);
    QVERIFY(e2e.press("pushButton_6"));
    TimerThread& timer = e2e.program().timer();
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 4 && timer.remaining() == 2; }));
    QVERIFY(e2e.press(qPrintable(switchButton)));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 3; }));
    QVERIFY(e2e.runUntil([&] { return e2e.program().dataFolder().count() == 3; }));

    QCOMPARE(e2e.messages, messages);
    const QStringList frames = lightFrames(e2e);
    QCOMPARE(frames.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const ShootingData data = dataOf(e2e.dataPath(frames[i]));
        QCOMPARE(data.correctionFlags, flags[i]);
        // The flag says what was done, and what was done is there to see.
        if (masterDark)
            QCOMPARE(darkSubtracted(e2e, frames[i]), flags[i] == 1);
    }
    // A switch that could not take effect shows it stayed off.
    QCOMPARE(e2e.state().darkOn, flags[2]);
}

void TestCorrection::singleFileCorrection() {
    E2eProgram e2e;
    QVERIFY(makeMaster(e2e, "pushButton_33", SimScene::CapOn));
    shortSeries(e2e.settings(), 2, 1, 0);
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return e2e.program().dataFolder().count() == 2; }));
    QVERIFY(e2e.press("pushButton_32"));
    QVERIFY(e2e.press("pushButton_32")); // playback of the last frame, with its data
    QVERIFY(e2e.press("pushButton_34"));
    const QStringList frames = lightFrames(e2e);
    const QString last = frames[1], first = frames[0];
    const QString lastTwin = QString(last).replace(0, 1, 'C');

    struct Press {
        const char* button;
        const QString* file;
        int flags;
        const char* message; // null: none
    };
    const auto check = [&](const Press& press) {
        e2e.messages.clear();
        QVERIFY(e2e.press(press.button));
        QCOMPARE(e2e.messages,
                 press.message ? QStringList{QString::fromUtf8(press.message)} : QStringList{});
        QCOMPARE(dataOf(e2e.dataPath(*press.file)).correctionFlags, press.flags);
    };
    // No master flat yet.
    check({"pushButton_76", &last, 0, "フラットファイルがありません"});
    check({"pushButton_75", &last, 1, nullptr});
    QVERIFY(darkSubtracted(e2e, last));
    QCOMPARE(dataOf(e2e.dataPath(lastTwin)).correctionFlags, 1);
    QCOMPARE(e2e.labelText("labelInfoDarked"), QStringLiteral("ダーク:済み"));
    check({"pushButton_75", &last, 1, "既にダーク減算済み."});

    QVERIFY(e2e.press("pushButton_32"));
    QVERIFY(makeMaster(e2e, "pushButton_34", SimScene::FlatPanel));
    QVERIFY(e2e.press("pushButton_32"));
    QCOMPARE(e2e.labelText("labelFileName"), QFileInfo(last).baseName());
    check({"pushButton_76", &last, 3, nullptr});
    QCOMPARE(e2e.labelText("labelInfoFlated"), QStringLiteral("フラット:済み"));
    check({"pushButton_76", &last, 3, "既にフラット補正済み."});
    QVERIFY(e2e.press("pushButton_36")); // the first frame
    check({"pushButton_76", &first, 2, nullptr});
    check({"pushButton_75", &first, 2, "フラット補正済みはダーク減算できません."});
    QVERIFY(!darkSubtracted(e2e, first));
}

QTEST_MAIN(TestCorrection)
#include "tst_correction.moc"
