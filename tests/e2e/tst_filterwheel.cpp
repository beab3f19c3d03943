#include "AccessoryLibraries.h"
#include "E2eFrames.h"
#include "E2eProgram.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SimFilterWheel.h"
#include "SimObservatory.h"

#include <QElapsedTimer>
#include <QtTest>

class TestFilterWheelE2e : public QObject {
    Q_OBJECT
private slots:
    void filterNames_data();
    void filterNames();
    void wheelFaults_data();
    void wheelFaults();
};

namespace {

E2eProgram::Options withAccessories(const QString& camera, const QString& accessories) {
    E2eProgram::Options options;
    options.cameras = camera;
    options.accessories = accessories;
    return options;
}

} // namespace

void TestFilterWheelE2e::filterNames_data() {
    QTest::addColumn<QString>("camera");
    QTest::addColumn<QString>("accessories");
    QTest::addColumn<bool>("stuckTurning");
    QTest::addColumn<QStringList>("files");
    const QStringList third{"M00001_3.tif", "M00002_3.tif"};
    QTest::newRow("mono, Player One") << "ASI183MM"
                                      << "PW" << false << third;
    QTest::newRow("turning at hand-over") << "ASI183MM"
                                          << "PW" << true << third;
    QTest::newRow("mono, EFW") << "ASI183MM"
                               << "EFW" << false << third;
    QTest::newRow("colour camera")
        << "ASI294MC"
        << "PW" << false << QStringList{"C00001.tif", "C00002.tif", "M00001.tif", "M00002.tif"};
    QTest::newRow("no wheel") << "ASI183MM"
                              << "" << false << QStringList{"M00001.tif", "M00002.tif"};
}

void TestFilterWheelE2e::filterNames() {
    QFETCH(QString, camera);
    QFETCH(QString, accessories);
    QFETCH(bool, stuckTurning);
    QFETCH(QStringList, files);
    E2eProgram e2e(withAccessories(camera, accessories));
    // Without a wheel the position buttons are hidden: a finger cannot reach them.
    QCOMPARE(e2e.press("pushButton_48"), !accessories.isEmpty());
    // Still turning when the frames are handed over.
    if (stuckTurning)
        e2e.program().sim()->playerOneWheel()->setStuck(true);
    saveScreenshot(&e2e.window(), QString("FilterWheel_") + QTest::currentDataTag());
    shortSeries(e2e.settings(), 2, 1, 1);
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return e2e.state().captureState == 3; }));
    QVERIFY(e2e.runUntil([&] { return e2e.dataFiles().size() == files.size(); }));
    QCOMPARE(e2e.dataFiles(), files);
}

void TestFilterWheelE2e::wheelFaults_data() {
    QTest::addColumn<QString>("accessories");
    QTest::addColumn<QString>("logPrefix");
    QTest::newRow("Player One") << "PW"
                                << "PW goto position failed, error code: ";
    QTest::newRow("EFW") << "EFW"
                         << "EFW set position error code: ";
}

void TestFilterWheelE2e::wheelFaults() {
    QFETCH(QString, accessories);
    QFETCH(QString, logPrefix);
    E2eProgram e2e(withAccessories("ASI183MM", accessories));
    SimObservatory& sim = *e2e.program().sim();
    if (accessories == "PW")
        sim.playerOneWheel()->setRemoved(true);
    else
        sim.efwWheel()->setRemoved(true);
    QElapsedTimer pressed;
    pressed.start();
    QVERIFY(e2e.press("pushButton_49"));
    e2e.runFor(2000);
    QVERIFY(pressed.elapsed() < 5000);

    // One line with the library's own words for the fault, not a line per pass.
    const QStringList failures =
        e2e.log.lines().filter(QRegularExpression("^" + QRegularExpression::escape(logPrefix)));
    QCOMPARE(failures.size(), 1);
    const QString detail = failures.first().mid(logPrefix.size());
    if (accessories == "PW") {
        QStringList texts;
        for (int code = 1; code <= 9; ++code)
            texts << QString::fromStdString(
                AccessoryLibraries::playerOneWheel().getPWErrorString(code));
        QVERIFY2(texts.contains(detail), qPrintable(detail));
    } else {
        QCOMPARE(detail, QString::number(EfwLibrary::Removed));
    }
    QVERIFY(e2e.messages.isEmpty());

    // Looking again finds no wheel: the buttons go and names lose their suffix.
    QVERIFY(e2e.press("pushButton_55"));
    QVERIFY(!e2e.press("pushButton_46"));
    shortSeries(e2e.settings(), 1, 1, 1);
    QVERIFY(e2e.press("pushButton_6"));
    QVERIFY(e2e.runUntil([&] { return e2e.dataFiles() == QStringList{"M00001.tif"}; }));
}

QTEST_MAIN(TestFilterWheelE2e)
#include "tst_filterwheel.moc"
