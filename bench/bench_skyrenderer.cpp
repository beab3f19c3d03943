// Rendering simulated frames of a 6248 x 4176 sensor at the default pointing, Orion's sword with
// its nebula, each beside a plain copy of a frame of the same size.
#include "BenchData.h"
#include "SkyRenderer.h"
#include "StarCatalog.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

namespace {

const SkyRenderer& renderer() {
    static const StarCatalog catalog = loadCatalogs(catalogueFolder());
    static const SkyRenderer sky(catalog, loadDeepSky(catalogueFolder(), catalog));
    return sky;
}

SimSensor sensor() {
    SimSensor s;
    s.width = 6248;
    s.height = 4176;
    return s;
}

SimExposure liveExposure() {
    SimExposure e;
    e.bin = 2;
    e.bits16 = false;
    return e;
}

void copyFrames(benchmark::State& state, std::size_t bytes) {
    const std::vector<char> source(bytes, 7);
    std::vector<char> target(bytes);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), bytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
}

void BM_RenderFull16(benchmark::State& state) {
    const SkyRenderer& sky = renderer();
    SimExposure exposure;
    for (auto _ : state) {
        ++exposure.frameNumber;
        benchmark::DoNotOptimize(sky.render(sensor(), SimOptics(), exposure));
    }
}

void BM_RenderFull16_Baseline(benchmark::State& state) {
    copyFrames(state, std::size_t(sensor().width) * sensor().height * 2);
}

void BM_RenderLive8(benchmark::State& state) {
    const SkyRenderer& sky = renderer();
    SimExposure exposure = liveExposure();
    for (auto _ : state) {
        ++exposure.frameNumber;
        benchmark::DoNotOptimize(sky.render(sensor(), SimOptics(), exposure));
    }
}

void BM_RenderLive8_Baseline(benchmark::State& state) {
    copyFrames(state, std::size_t(sensor().width / 2) * (sensor().height / 2));
}

} // namespace

BENCHMARK(BM_RenderFull16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderFull16_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderLive8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderLive8_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
