// The chart's horizontal coordinates over every point of the Milky Way's outline under one
// sky, beside the same trigonometric calls in a bare loop.
#include "BenchData.h"
#include "SkyTime.h"
#include "StarCatalog.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

const StarCatalog& catalog() {
    static const StarCatalog loaded = loadCatalogs(catalogueFolder());
    return loaded;
}

constexpr double lst = 123.4, latitude = 38;

void BM_EquatorialToHorizontal(benchmark::State& state) {
    const QVector<MilkyWayPoint>& points = catalog().milkyWay;
    for (auto _ : state) {
        const SkyTime::HorizontalFrame frame(lst, latitude);
        double sum = 0;
        for (const MilkyWayPoint& p : points) {
            const SkyTime::Horizontal h = frame(p.ra, p.dec);
            sum += h.azimuth + h.altitude;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["points"] = double(points.size());
}

void BM_EquatorialToHorizontal_Baseline(benchmark::State& state) {
    const QVector<MilkyWayPoint>& points = catalog().milkyWay;
    const double k = 0.01745277777777778, lat = latitude * k;
    for (auto _ : state) {
        double sum = 0;
        for (const MilkyWayPoint& p : points) {
            const double x = (p.ra - lst) * k, d = p.dec * k;
            const double cosD = std::cos(d), sinD = std::sin(d), cosLat = std::cos(lat),
                         sinLat = std::sin(lat), cosX = std::cos(x), sinX = std::sin(x);
            sum += std::asin(cosD * cosLat * cosX + sinD * sinLat) +
                   std::atan2(-cosD * sinX, cosLat * sinD - cosD * sinLat * cosX);
        }
        benchmark::DoNotOptimize(sum);
    }
}

} // namespace

BENCHMARK(BM_EquatorialToHorizontal)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EquatorialToHorizontal_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
