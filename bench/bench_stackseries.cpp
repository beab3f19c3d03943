// A night's series stacked: eight frames of a mono 5496 x 3672 sensor, drifting and turning
// a little from frame to frame as a misaligned mount lets them, written as the program writes
// its light frames. The composite takes the first as its base, aligns and averages in the
// other seven and saves the result, on one thread. Beside it, siril does the same on the same
// files: converts them, registers them (similarity) and stacks them (sum), one thread too.
#include "BenchData.h"
#include "CompositeSession.h"
#include "HostPath.h"
#include "NoCompositeWindow.h"
#include "SettingsRecord.h"
#include "SimCameraModel.h"
#include "SkyRenderer.h"
#include "StarCatalog.h"
#include "TiffFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <opencv2/core.hpp>

namespace {

constexpr int frameCount = 8;

QString frameName(int n) {
    return QString("M%1.tif").arg(n, 5, 10, QChar('0'));
}

// The series in the data folder of a drive root of its own, and a copy of it alone in a
// folder for siril (which converts every image it finds there).
struct Series {
    QTemporaryDir drives;
    const QString dataFolder = "C:\\VesperixData\\";
    QString sirilFolder;

    Series() {
        qputenv("VESPERIX_DRIVES", drives.path().toUtf8());
        cv::setNumThreads(1);
        const QString data = HostPath::toHost(dataFolder);
        sirilFolder = drives.path() + "/siril";
        QDir().mkpath(data);
        QDir().mkpath(sirilFolder);

        const StarCatalog catalog = loadCatalogs(catalogueFolder());
        const SkyRenderer renderer(catalog);
        const SimSensor sensor = SimCameraModel::withKey("ASI183MM")->sensor();
        SimOptics optics; // the Milky Way in Cygnus through a 200 mm lens
        optics.pointingRa = 305;
        optics.pointingDec = 40;
        optics.focalLengthMm = 200;
        optics.seeingFwhmArcsec = 6;
        optics.vignetting = 0;
        SimExposure exposure;
        exposure.seconds = 60;
        exposure.electronsPerAdu = 0.5;
        exposure.offsetAdu = 500;
        ShootingData shooting;
        shooting.model = "M0ZWO ASI183MM Pro";
        shooting.exposureNumerator = 60;
        for (int n = 1; n <= frameCount; ++n) {
            optics.fieldShiftX = 5.0 * (n - 1);
            optics.fieldShiftY = -3.0 * (n - 1);
            optics.fieldTurnDeg = 0.02 * (n - 1);
            exposure.frameNumber = std::uint64_t(n);
            if (writeTiff(dataFolder + frameName(n), renderer.render(sensor, optics, exposure),
                          shooting) != 1)
                qFatal("the series could not be written");
            QFile::copy(QDir(data).filePath(frameName(n)), sirilFolder + "/" + frameName(n));
        }
    }
};

const Series& series() {
    static const Series s;
    return s;
}

void BM_StackSeries(benchmark::State& state) {
    const Series& s = series();
    SettingsRecord settings;
    for (auto _ : state) {
        NoCompositeWindow view;
        CompositeSession session(view, settings, s.dataFolder);
        if (!session.setCompositeBase(frameName(1))) {
            state.SkipWithError("no base");
            return;
        }
        for (int n = 2; n <= frameCount; ++n) {
            if (session.addToComposite(frameName(n)) != CompositeSession::Addition::Stacked) {
                state.SkipWithError(qPrintable("not stacked: " + frameName(n)));
                return;
            }
        }
        if (session.saveComposite().composite.isEmpty()) {
            state.SkipWithError("not saved");
            return;
        }
        state.PauseTiming();
        for (const QString& made : QDir(HostPath::toHost(s.dataFolder)).entryList({"*+*"}))
            QFile::remove(QDir(HostPath::toHost(s.dataFolder)).filePath(made));
        state.ResumeTiming();
    }
}

void BM_StackSeries_Baseline(benchmark::State& state) {
    const Series& s = series();
    const QString script = s.drives.path() + "/stack.ssf";
    QFile file(script);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write("requires 1.0.0\nsetcpu 1\nconvert light\n"
                   "register light -transf=similarity\nstack r_light sum\n") < 0) {
        state.SkipWithError("no script");
        return;
    }
    file.close();
    for (auto _ : state) {
        QProcess siril;
        siril.setProcessChannelMode(QProcess::MergedChannels);
        siril.start("siril-cli", {"-d", s.sirilFolder, "-s", script});
        const bool finished = siril.waitForFinished(-1);
        const QString log = QString::fromUtf8(siril.readAll());
        if (!finished || siril.exitCode() != 0) {
            std::fprintf(stderr, "%s\n%s\n", qPrintable(siril.errorString()), qPrintable(log));
            state.SkipWithError("siril-cli failed or is missing");
            return;
        }
        const QRegularExpressionMatch registered =
            QRegularExpression("(\\d+) registered").match(log);
        if (!registered.hasMatch() || registered.captured(1).toInt() != frameCount) {
            state.SkipWithError("siril did not register every frame");
            return;
        }
        state.PauseTiming();
        for (const QString& made : QDir(s.sirilFolder).entryList(QDir::Files))
            if (!made.startsWith('M'))
                QFile::remove(s.sirilFolder + "/" + made);
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_StackSeries)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_StackSeries_Baseline)->Unit(benchmark::kSecond)->UseRealTime();

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
