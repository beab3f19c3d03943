// The plate solver's stand-in as the main program runs it from the drive root, on simulated
// plate-solve frames that the real solve-field solves. Judged by the simulator's pointing.
#include "FrameOps.h"
#include "InstallPlateSolver.h"
#include "SimCameraModel.h"
#include "SkyRenderer.h"
#include "StarCatalog.h"
#include "TestDrives.h"

#include <QDir>
#include <QElapsedTimer>
#include <QtTest>
#include <algorithm>
#include <csignal>
#include <memory>
#include <opencv2/imgcodecs.hpp>
#include <vector>

namespace {

// The Orion sword and belt through 400 mm: 27 catalogue stars on the frame.
constexpr double pointingRa = 83.82;
constexpr double pointingDec = -5.39;

struct Outcome {
    int exitCode = -1;
    QByteArray result; // the result file, empty when none was written
    qint64 ms = 0;
};

// A live process (not ended, nor a zombie), from /proc/<pid>/stat. Its start time tells a
// reused pid apart.
struct Process {
    int pid;
    int parent;
    QByteArray name;
    QByteArray start;
    bool operator==(const Process& o) const { return pid == o.pid && start == o.start; }
};

std::vector<Process> liveProcesses() {
    std::vector<Process> live;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        QFile stat("/proc/" + entry + "/stat");
        if (entry.toInt() <= 0 || !stat.open(QIODevice::ReadOnly))
            continue;
        // pid (name) state parent ... with the start time 22nd.
        const QByteArray text = stat.readAll();
        const int open = text.indexOf('('), close = text.lastIndexOf(')');
        const QList<QByteArray> fields = text.mid(close + 2).split(' ');
        if (fields.size() > 19 && fields[0] != "Z")
            live.push_back({entry.toInt(), fields[1].toInt(), text.mid(open + 1, close - open - 1),
                            fields[19]});
    }
    return live;
}

std::vector<Process> descendants(int root) {
    const std::vector<Process> live = liveProcesses();
    std::vector<Process> found;
    std::vector<int> parents{root};
    while (!parents.empty()) {
        const int parent = parents.back();
        parents.pop_back();
        for (const Process& p : live) {
            if (p.parent == parent) {
                found.push_back(p);
                parents.push_back(p.pid);
            }
        }
    }
    return found;
}

bool anyAlive(const std::vector<Process>& processes) {
    const std::vector<Process> live = liveProcesses();
    return std::any_of(processes.begin(), processes.end(), [&](const Process& p) {
        return std::find(live.begin(), live.end(), p) != live.end();
    });
}

} // namespace

class TestPlateSolverAdapter : public QObject {
    Q_OBJECT
    TestDrives drives;
    QTemporaryDir adapterTemp; // the adapter's TMPDIR, where it works
    QString solver;            // the adapter as installed in the drive root
    QString dataFolder;        // "C:\VesperixData"
    StarCatalog catalog;
    std::unique_ptr<SkyRenderer> renderer;

    // A 10 s plate-solve frame of the ASI294MC at the default gain, stored as the program stores
    // solve.jpg: the high byte of each raw sample, mosaic and all, as 8-bit grey JPEG.
    QString frame(double rotationDeg, double starlight) const {
        SimOptics optics;
        optics.pointingRa = pointingRa;
        optics.pointingDec = pointingDec;
        optics.focalLengthMm = 400;
        optics.rotationDeg = rotationDeg;
        optics.starlight = starlight;
        SimExposure exposure;
        exposure.seconds = 10;
        exposure.electronsPerAdu = 0.76 / (1 + 250 / 100.0); // gain step 11 of 25
        exposure.offsetAdu = 8 * 16;
        const cv::Mat raw =
            renderer->render(SimCameraModel::withKey("ASI294MC")->sensor(), optics, exposure);
        const QString path = dataFolder + "/solve.jpg";
        return cv::imwrite(path.toStdString(), highBytes(raw)) ? path : QString();
    }

    void start(QProcess& process, const QStringList& arguments, const QString& limit) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("VESPERIX_SOLVER_TIMEOUT");
        environment.insert("TMPDIR", adapterTemp.path());
        if (!limit.isEmpty())
            environment.insert("VESPERIX_SOLVER_TIMEOUT", limit);
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(solver, arguments);
    }

    Outcome runSolver(const QStringList& arguments, const QString& limit = {}) const {
        QFile::remove(resultPath());
        QElapsedTimer clock;
        clock.start();
        QProcess process;
        start(process, arguments, limit);
        Outcome outcome;
        if (!process.waitForFinished(100000) || process.exitStatus() != QProcess::NormalExit)
            return outcome;
        outcome.ms = clock.elapsed();
        outcome.exitCode = process.exitCode();
        QFile result(resultPath());
        if (result.open(QIODevice::ReadOnly))
            outcome.result = result.readAll();
        return outcome;
    }

    QString resultPath() const { return dataFolder + "/result.txt"; }

    QStringList command(const QString& image) const {
        return {"/solvefile", image, resultPath(), "400", "4.63", "83.82", "-5.39", "10.0"};
    }

private slots:
    void initTestCase() {
        QVERIFY(installPlateSolver(drives.root()));
        solver = drives.root() + "/C/Program Files (x86)/PlateSolver/PlateSolver";
        QVERIFY(QFileInfo(solver + ".exe").isExecutable());
        dataFolder = drives.root() + "/C/VesperixData";
        QVERIFY(QDir().mkpath(dataFolder));
        catalog = loadCatalogs(qEnvironmentVariable("VESPERIX_BIN_DIR"));
        renderer = std::make_unique<SkyRenderer>(catalog);
    }

    // However a run ended, it left no work files behind.
    void cleanup() { QVERIFY(QDir(adapterTemp.path()).isEmpty()); }

    void solves_data() {
        QTest::addColumn<double>("rotationDeg");
        QTest::addColumn<double>("imageRote");
        QTest::newRow("turned 0") << 0.0 << -180.0;
        QTest::newRow("turned 98") << 98.0 << -82.0;
    }
    void solves() {
        QFETCH(double, rotationDeg);
        QFETCH(double, imageRote);
        const QString image = frame(rotationDeg, 1);
        QVERIFY(!image.isEmpty());
        const Outcome outcome = runSolver(command(image));
        qInfo("solved in %lld ms", outcome.ms);
        QCOMPARE(outcome.exitCode, 0);
        QVERIFY2(outcome.result.endsWith('\n') && !outcome.result.contains('\r'), outcome.result);
        const QList<QByteArray> lines = outcome.result.trimmed().split('\n');
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines[0], QByteArray("OK"));
        const double ra = lines[1].toDouble(), dec = lines[2].toDouble();
        QVERIFY(ra >= 0 && ra < 360);
        const double offArcsec =
            3600 * std::hypot((ra - pointingRa) * std::cos(dec * M_PI / 180), dec - pointingDec);
        QVERIFY2(offArcsec <= 5, qPrintable(QString("centre %1\" off").arg(offArcsec)));
        QVERIFY(std::abs(lines[3].toInt() - 165) <= 1);
        QVERIFY(std::abs(lines[4].toInt() - 112) <= 1);
        QVERIFY(std::abs(lines[5].toDouble() / 2.39 - 1) <= 0.01);
        const double rote = lines[6].toDouble();
        QVERIFY(rote >= -180 && rote < 180);
        const double turnOff = std::remainder(rote - imageRote, 360.0);
        QVERIFY2(std::abs(turnOff) <= 0.5, lines[6]);
    }

    // Noise only. solve-field would search it for minutes: it gets 8 seconds.
    void blankFrame() {
        const QString image = frame(0, 0);
        QVERIFY(!image.isEmpty());
        const Outcome outcome = runSolver(command(image), "8");
        qInfo("gave up in %lld ms", outcome.ms);
        QVERIFY2(outcome.result.startsWith("ERROR"), outcome.result);
        QCOMPARE(outcome.exitCode, 1);
        QVERIFY(outcome.ms < 20000);
    }

    void badArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("reported");
        const QStringList good = command(dataFolder + "/solve.jpg");
        QTest::newRow("too few, no result path") << QStringList(good.mid(0, 2)) << false;
        QTest::newRow("too few") << QStringList(good.mid(0, 7)) << true;
        QStringList focal = good;
        focal[3] = "f400";
        QTest::newRow("non-numeric focal") << focal << true;
        QStringList radius = good;
        radius[7] = "-10.0";
        QTest::newRow("negative radius") << radius << true;
    }
    void badArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, reported);
        const Outcome outcome = runSolver(arguments);
        QCOMPARE(outcome.exitCode, 2);
        QCOMPARE(outcome.result, reported ? QByteArray("ERROR usage\n") : QByteArray());
    }

    // Nothing that solve-field started may stay behind, whether the adapter is asked to stop or
    // killed outright (as when the SIGKILL of an abort follows its SIGTERM at once).
    void endedWhileSolving_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGKILL") << int(SIGKILL);
    }
    void endedWhileSolving() {
        QFETCH(int, signal);
        const QString image = frame(0, 0);
        QVERIFY(!image.isEmpty());
        QFile::remove(resultPath());
        QProcess process;
        start(process, command(image), "100");
        QVERIFY(process.waitForStarted());
        const int adapter = int(process.processId());
        std::vector<Process> tree;
        QVERIFY(QTest::qWaitFor(
            [&] {
                tree = descendants(adapter);
                return std::any_of(tree.begin(), tree.end(), [](const Process& p) {
                    return p.name.startsWith("astrometry-eng");
                });
            },
            60000));
        ::kill(adapter, signal);
        QVERIFY(process.waitForFinished(5000));
        QVERIFY(QTest::qWaitFor([&] { return !anyAlive(tree); }, 5000));
        if (signal == SIGTERM) {
            QFile result(resultPath());
            QVERIFY(result.open(QIODevice::ReadOnly));
            QVERIFY(result.readAll().startsWith("ERROR"));
        }
    }
};

QTEST_GUILESS_MAIN(TestPlateSolverAdapter)
#include "tst_platesolveradapter.moc"
