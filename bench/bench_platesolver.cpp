// A plate solve through the adapter, as the main program starts it, beside solve-field run
// alone with the same options on the same frame: a 10 s plate-solve frame of the ASI294MC
// through 400 mm on the Orion sword, stored as the program stores solve.jpg.
#include "BenchData.h"
#include "FrameOps.h"
#include "SimCameraModel.h"
#include "SkyRenderer.h"
#include "SolveFieldRun.h"
#include "SolverArguments.h"
#include "StarCatalog.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <opencv2/imgcodecs.hpp>

namespace {

struct Frame {
    QTemporaryDir folder;
    QString image;
    int width = 0;
    SolverArguments request;

    Frame() {
        const StarCatalog catalog = loadCatalogs(catalogueFolder());
        const SkyRenderer renderer(catalog);
        SimOptics optics;
        optics.pointingRa = 83.82;
        optics.pointingDec = -5.39;
        optics.focalLengthMm = 400;
        SimExposure exposure;
        exposure.seconds = 10;
        exposure.electronsPerAdu = 0.76 / (1 + 250 / 100.0); // gain step 11 of 25
        exposure.offsetAdu = 8 * 16;
        image = folder.filePath("solve.jpg");
        const SimSensor sensor = SimCameraModel::withKey("ASI294MC")->sensor();
        width = sensor.width;
        const cv::Mat raw = renderer.render(sensor, optics, exposure);
        if (!cv::imwrite(image.toStdString(), highBytes(raw)))
            qFatal("the frame could not be written");
        request = SolverArguments::parse({"/solvefile", image, folder.filePath("result.txt"), "400",
                                          "4.63", "83.82", "-5.39", "10.0"});
    }
};

const Frame& frame() {
    static const Frame f;
    return f;
}

void BM_PlateSolve(benchmark::State& state) {
    const Frame& f = frame();
    const QString adapter = catalogueFolder() + "/PlateSolver";
    for (auto _ : state) {
        QFile::remove(f.request.resultPath);
        QProcess::execute(adapter, {"/solvefile", f.image, f.request.resultPath, "400", "4.63",
                                    "83.82", "-5.39", "10.0"});
        QFile result(f.request.resultPath);
        if (!result.open(QIODevice::ReadOnly) || !result.readLine().startsWith("OK")) {
            state.SkipWithError("not solved");
            return;
        }
    }
}

void BM_PlateSolve_Baseline(benchmark::State& state) {
    const Frame& f = frame();
    for (auto _ : state) {
        QTemporaryDir work;
        const QStringList arguments = SolveFieldRun::arguments(
            f.request, f.width, f.image, work.path(), int(SolveFieldRun::limitSeconds()));
        QProcess solveField;
        solveField.setStandardOutputFile(QProcess::nullDevice());
        solveField.setStandardErrorFile(QProcess::nullDevice());
        solveField.start("solve-field", arguments);
        if (!solveField.waitForFinished(-1) || !QFile::exists(work.filePath("solve.solved"))) {
            state.SkipWithError("solve-field failed, is missing or did not solve");
            return;
        }
    }
}

} // namespace

BENCHMARK(BM_PlateSolve)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_PlateSolve_Baseline)->Unit(benchmark::kSecond)->UseRealTime();

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    // One solve's time varies by a fifth from run to run: a few solves are averaged.
    return runBenchmarks(argc, argv, 8);
}
