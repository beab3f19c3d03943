// Dark and flat correction of a 6248 x 4176 16-bit frame, beside a plain single-threaded pass
// that reads the same three frames and writes one of the same size.
#include "DarkFlat.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>

namespace {

constexpr int width = 6248, height = 4176, offset = 500;

struct Frames {
    cv::Mat raw, dark, flat;
    Frames() {
        raw.create(height, width, CV_16UC1);
        dark.create(height, width, CV_16UC1);
        flat.create(height, width, CV_16UC1);
        cv::randu(raw, 600, 40000);
        cv::randu(dark, offset, offset + 200);
        cv::randu(flat, 15000, 30000);
    }
};

const Frames& frames() {
    static const Frames f;
    return f;
}

void BM_CorrectMode2(benchmark::State& state) {
    const Frames& f = frames();
    cv::Mat raw(height, width, CV_16UC1);
    for (auto _ : state) {
        state.PauseTiming();
        f.raw.copyTo(raw);
        state.ResumeTiming();
        DarkFlat::correctFrame(raw, f.dark, f.flat, false, DarkFlat::DarkAndFlat, offset);
        benchmark::DoNotOptimize(raw.data);
        benchmark::ClobberMemory();
    }
}

void BM_CorrectMode2_Baseline(benchmark::State& state) {
    const Frames& f = frames();
    cv::Mat out(height, width, CV_16UC1);
    for (auto _ : state) {
        for (int y = 0; y < height; ++y) {
            const std::uint16_t* r = f.raw.ptr<std::uint16_t>(y);
            const std::uint16_t* d = f.dark.ptr<std::uint16_t>(y);
            const std::uint16_t* fl = f.flat.ptr<std::uint16_t>(y);
            std::uint16_t* o = out.ptr<std::uint16_t>(y);
            for (int x = 0; x < width; ++x)
                o[x] = std::uint16_t(std::min(int(r[x]) + d[x] + fl[x], 65535));
        }
        benchmark::DoNotOptimize(out.data);
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_CorrectMode2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CorrectMode2_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
