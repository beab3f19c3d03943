// The files of a plate solve: the command line the solver is started with, the result it
// writes read line by line with each way it can be wrong, and the solved rotation as the
// camera's quarter turns.
#include "PlateSolveFiles.h"

#include <QtTest>

class TestPlateSolve : public QObject {
    Q_OBJECT
private slots:
    void commandLine();
    void result_data();
    void result();
    void cameraRotation_data();
    void cameraRotation();
};

void TestPlateSolve::commandLine() {
    QCOMPARE(PlateSolveFiles::commandLine(400, 4.63, 83.82, -5.39),
             QByteArray("\"C:\\Program Files (x86)\\PlateSolver\\PlateSolver\" /solvefile "
                        "\"C:\\VesperixData\\solve.jpg\" \"C:\\VesperixData\\result.txt\" 400 "
                        "4.63 83.82 -5.39 10.0"));
}

void TestPlateSolve::result_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("failure");
    const QByteArray lines[] = {"OK\n",  "84.05\n", "-5.12\n", "165\n",
                                "112\n", "2.39\n",  "-82.3\n"};
    QByteArray whole;
    for (const QByteArray& line : lines)
        whole += line;
    QTest::newRow("solved") << whole << 0;
    QTest::newRow("solved, CRLF") << QByteArray(whole).replace("\n", "\r\n") << 0;
    QTest::newRow("empty") << QByteArray() << 1;
    QTest::newRow("ERROR") << QByteArray("ERROR no solution\n") << 2;
    for (int missing = 2; missing <= 7; ++missing) {
        QByteArray cut;
        for (int i = 0; i < missing - 1; ++i)
            cut += lines[i];
        QTest::addRow("line %d missing", missing) << cut << missing + 1;
    }
    QTest::newRow("ra not a number") << QByteArray("OK\nabc\n-5.12\n165\n112\n2.39\n-82.3\n") << 3;
    QTest::newRow("ra past 360") << QByteArray("OK\n360\n-5.12\n165\n112\n2.39\n-82.3\n") << 3;
    QTest::newRow("dec past the pole")
        << QByteArray("OK\n84.05\n-90.5\n165\n112\n2.39\n-82.3\n") << 4;
    QTest::newRow("no field") << QByteArray("OK\n84.05\n-5.12\n0\n112\n2.39\n-82.3\n") << 5;
    // A 300-byte status line is read on as the lines after it.
    QTest::newRow("300-byte line") << "OK" + QByteArray(298, 'x') + "\n" + whole.mid(3) << 3;
}

void TestPlateSolve::result() {
    QFETCH(QByteArray, text);
    QFETCH(int, failure);
    const PlateSolveFiles::Result read = PlateSolveFiles::readResult(text);
    QCOMPARE(read.failure, failure);
    if (failure == 0) {
        QCOMPARE(read.ra, 84.05);
        QCOMPARE(read.dec, -5.12);
        QCOMPARE(read.fovW, 165);
        QCOMPARE(read.fovH, 112);
        QCOMPARE(read.imageScale, 2.39);
        QCOMPARE(read.imageRote, -82.3);
    }
}

void TestPlateSolve::cameraRotation_data() {
    QTest::addColumn<double>("imageRote");
    QTest::addColumn<int>("turns");
    QTest::newRow("east up") << -90.0 << 3;
    QTest::newRow("north up") << -180.0 << 0;
    QTest::newRow("north up, just under +180") << 179.9 << 0;
    QTest::newRow("-135") << -135.0 << 3;
    QTest::newRow("-135.01") << -135.01 << 0;
    QTest::newRow("45") << 45.0 << 1;
    QTest::newRow("170") << 170.0 << 0;
    QTest::newRow("south up") << 0.0 << 2;
}

void TestPlateSolve::cameraRotation() {
    QFETCH(double, imageRote);
    QFETCH(int, turns);
    QCOMPARE(PlateSolveFiles::cameraRotationFor(imageRote, 2), turns);
}

QTEST_APPLESS_MAIN(TestPlateSolve)
#include "tst_platesolve.moc"
