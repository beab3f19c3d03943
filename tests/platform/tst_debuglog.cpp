#include "DebugLog.h"
#include "HostPath.h"
#include "LocalText.h"
#include "LogRecorder.h"
#include "TestDrives.h"

#include <QFile>
#include <QtTest>
#include <clocale>

class TestDebugLog : public QObject {
    Q_OBJECT
private slots:
    void formatsLinesTheSameInEveryLocale();
    void keepsEarlyLinesUntilTheFileOpens();
    void sinkMayLogInTurn();
    void localCodePageRoundTrip();
};

void TestDebugLog::formatsLinesTheSameInEveryLocale() {
    LogRecorder log;
    // A locale with a decimal comma, where the system has one.
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    debugLog("%f %f %f %f %f", 83.633, -5.391, 1.5, 1.0, 0.0);
    debugLog("%s=%d\n", "gain", 11);
    std::setlocale(LC_ALL, "C");
    const QStringList expected = {"83.633000 -5.391000 1.500000 1.000000 0.000000", "gain=11"};
    QCOMPARE(log.lines(), expected);
}

void TestDebugLog::keepsEarlyLinesUntilTheFileOpens() {
    TestDrives drives;
    debugLog("before the file %d", 1);
    DebugLog::openFile("C:\\OrlentVesperixIni\\test.log");
    debugLog("after the file %d", 2);
    const QByteArray text = drives.readSettingsFile("test.log");
    QVERIFY2(text.endsWith("before the file 1\nafter the file 2\n"), text.constData());
}

void TestDebugLog::sinkMayLogInTurn() {
    LogRecorder log;
    bool inner = false;
    const int id = DebugLog::attachSink([&](const QString& line) {
        if (line == "outer" && !inner) {
            inner = true;
            debugLog("inner");
        }
    });
    debugLog("outer");
    DebugLog::detachSink(id);
    QCOMPARE(log.lines(), QStringList({"outer", "inner"}));
}

void TestDebugLog::localCodePageRoundTrip() {
    qputenv("VESPERIX_CODEPAGE", "Shift-JIS");
    const QString text = QStringLiteral("ダーク撮影");
    const QByteArray bytes = LocalText::encode(text);
    QCOMPARE(bytes, QByteArray("\x83\x5f\x81\x5b\x83\x4e\x8e\x42\x89\x65"));
    QCOMPARE(LocalText::decode(bytes), text);
    qunsetenv("VESPERIX_CODEPAGE");
}

QTEST_GUILESS_MAIN(TestDebugLog)
#include "tst_debuglog.moc"
