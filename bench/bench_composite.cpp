// Compositing a 6248 x 4176 colour frame, single-threaded: finding its stars, aligning it and
// averaging it in, beside OpenCV turning it with the same matrix and averaging it in; and the
// retouch of the composite's processed copy beside one plain table lookup per sample.
// With --memory instead: how far one addition from the data folder raises the process's peak
// memory, against five composites of that size and 200 MB.
#include "CompositeAccumulator.h"
#include "CompositeSession.h"
#include "CompositeStarDetector.h"
#include "FrameAligner.h"
#include "HostPath.h"
#include "NoCompositeWindow.h"
#include "Retouch.h"
#include "SettingsRecord.h"
#include "TiffFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <opencv2/imgproc.hpp>

namespace {

constexpr int width = 6248, height = 4176;

// Stars on a noisy sky in colour, turned `turnDeg` about the centre and shifted.
cv::Mat colourField(double dx, double dy, double turnDeg, std::uint64_t seed) {
    cv::Mat sky(height, width, CV_16UC3);
    cv::RNG noise(seed);
    noise.fill(sky, cv::RNG::NORMAL, cv::Scalar(1800, 2000, 1900), cv::Scalar(120, 120, 120));
    cv::RNG place(3);
    const double c = std::cos(turnDeg * M_PI / 180), s = std::sin(turnDeg * M_PI / 180);
    for (int i = 0; i < 400; ++i) {
        const double x = place.uniform(40.0, width - 40.0), y = place.uniform(40.0, height - 40.0);
        const double u = x - width / 2, v = y - height / 2;
        const double px = width / 2 + c * u - s * v + dx, py = height / 2 + s * u + c * v + dy;
        const double peak = 15000 + 4000 * (i % 7), sigma = 1.8;
        for (int r = int(py) - 7; r <= int(py) + 7; ++r)
            for (int k = int(px) - 7; k <= int(px) + 7; ++k) {
                if (r < 0 || k < 0 || r >= height || k >= width)
                    continue;
                const double d2 = (k - px) * (k - px) + (r - py) * (r - py);
                const double add = peak * std::exp(-d2 / (2 * sigma * sigma));
                cv::Vec3w& p = sky.at<cv::Vec3w>(r, k);
                for (int ch = 0; ch < 3; ++ch)
                    p[ch] = cv::saturate_cast<std::uint16_t>(p[ch] + add);
            }
    }
    return sky;
}

struct Frames {
    cv::Mat base = colourField(0, 0, 0, 1);
    cv::Mat frame = colourField(12, -7, 0.1, 2);
    std::vector<StarEntry> baseStars;
    cv::Mat warp; // the frame onto the base, as found once
    Frames() {
        cv::setNumThreads(1); // an addition runs on one thread; so does its baseline
        cv::Mat grey;
        cv::cvtColor(base, grey, cv::COLOR_BGR2GRAY);
        baseStars = CompositeStarDetector::detectStars(grey);
        cv::cvtColor(frame, grey, cv::COLOR_BGR2GRAY);
        std::vector<StarEntry> stars = CompositeStarDetector::detectStars(grey);
        warp = FrameAligner::align(baseStars, stars, base.size(), 0).warp;
    }
};

const Frames& frames() {
    static const Frames f;
    return f;
}

void BM_AddFrame(benchmark::State& state) {
    const Frames& f = frames();
    CompositeAccumulator composite;
    composite.start(f.base, 1);
    for (auto _ : state) {
        cv::Mat grey;
        cv::cvtColor(f.frame, grey, cv::COLOR_BGR2GRAY);
        std::vector<StarEntry> stars = CompositeStarDetector::detectStars(grey);
        const FrameAlignment alignment = FrameAligner::align(f.baseStars, stars, f.base.size(), 0);
        if (alignment.outcome != FrameAlignment::Aligned) {
            state.SkipWithError("not aligned");
            break;
        }
        composite.add(FrameAligner::warpOntoBase(f.frame, alignment.warp, f.base.size()), 1);
        benchmark::DoNotOptimize(composite.image().data);
    }
}

void BM_AddFrame_Baseline(benchmark::State& state) {
    const Frames& f = frames();
    cv::Mat mean = f.base.clone();
    int count = 1;
    for (auto _ : state) {
        cv::Mat warped;
        cv::warpAffine(f.frame, warped, f.warp, f.base.size(), cv::INTER_LINEAR,
                       cv::BORDER_CONSTANT);
        cv::addWeighted(mean, double(count) / (count + 1), warped, 1.0 / (count + 1), 0, mean);
        ++count;
        benchmark::DoNotOptimize(mean.data);
    }
}

void BM_Retouch(benchmark::State& state) {
    const Frames& f = frames();
    RetouchValues values;
    values.rLevel = 60;
    values.bLevel = 40;
    values.lowX = 20;
    values.highX = 200;
    const Retouch retouch(values);
    cv::Mat out;
    for (auto _ : state) {
        retouch.apply(f.base, out);
        benchmark::DoNotOptimize(out.data);
    }
}

void BM_Retouch_Baseline(benchmark::State& state) {
    const Frames& f = frames();
    std::vector<std::uint16_t> table(65536);
    for (int i = 0; i < 65536; ++i)
        table[std::size_t(i)] = std::uint16_t(65535 - i);
    cv::Mat out(f.base.size(), f.base.type());
    for (auto _ : state) {
        for (int y = 0; y < height; ++y) {
            const std::uint16_t* in = f.base.ptr<std::uint16_t>(y);
            std::uint16_t* o = out.ptr<std::uint16_t>(y);
            for (int x = 0; x < width * 3; ++x)
                o[x] = table[in[x]];
        }
        benchmark::DoNotOptimize(out.data);
    }
}

// A line of this process's status in MB: "VmRSS:" now, "VmHWM:" the peak.
double statusMb(const QByteArray& key) {
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// Starts the peak afresh from the memory in use now.
void resetPeak() {
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

int memoryFigure() {
    QTemporaryDir drives;
    qputenv("VESPERIX_DRIVES", drives.path().toUtf8());
    const QString folder = "C:\\VesperixData\\";
    QDir().mkpath(HostPath::toHost(folder));
    ShootingData data;
    data.model = "C0Simulated";
    if (writeTiff(folder + "C00001.tif", colourField(0, 0, 0, 1), data) != 1 ||
        writeTiff(folder + "C00002.tif", colourField(12, -7, 0.1, 2), data) != 1)
        return 1;
    NoCompositeWindow view;
    SettingsRecord settings;
    CompositeSession session(view, settings, folder);
    if (!session.setCompositeBase("C00001.tif"))
        return 1;
    resetPeak();
    const double before = statusMb("VmRSS:");
    const bool stacked =
        session.addToComposite("C00002.tif") == CompositeSession::Addition::Stacked;
    const double rise = statusMb("VmHWM:") - before;
    const double compositeMb = double(width) * height * 3 * 2 / (1024.0 * 1024.0);
    const double limit = 5 * compositeMb + 200;
    std::printf("CompositeAddMemory %d x %d colour  peak rise %6.0f MB  limit %6.0f MB (5 x %.0f "
                "MB + 200)  ratio %.2f%s\n",
                width, height, rise, limit, compositeMb, rise / limit,
                stacked ? "" : "  NOT STACKED");
    return stacked && rise <= limit ? 0 : 1;
}

} // namespace

BENCHMARK(BM_AddFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AddFrame_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Retouch)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Retouch_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--memory") == 0) {
        QCoreApplication application(argc, argv);
        return memoryFigure();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
