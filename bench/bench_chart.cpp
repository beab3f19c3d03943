// The sky chart with every layer of the shipped catalogues about Orion: drawn whole at zoom
// levels 2 and 9 beside projecting only the points the drawing considers; the half-second
// refresh (a copy of the chart with the marks) beside a plain copy of the picture, and with
// the cameras' frames beside without; and a
// binned live frame shown with the chart over it beside the same frame without.
#include "BenchData.h"
#include "ChartProjection.h"
#include "ChartScales.h"
#include "ChartSky.h"
#include "ImageDisplay.h"
#include "LiveChartOverlay.h"
#include "ProcessState.h"
#include "SettingsRecord.h"
#include "SkyChart.h"
#include "StarCatalog.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>

namespace {

constexpr double orionRa = 83.82, orionDec = -5.39;

struct Sky {
    StarCatalog catalog = loadCatalogs(catalogueFolder());
    ChartSky chart{catalog};
    SettingsRecord settings;
    Sky() {
        settings.setDefaults();
        settings.enaAllStarName = settings.enaAllIc = settings.enaAllNgc = 1;
        settings.enaFamusStarName = settings.enaConstName = settings.enaMessie = 1;
        settings.enaMilky = 1;
    }
};

const Sky& sky() {
    static const Sky s;
    return s;
}

void drawChart(benchmark::State& state, int level) {
    SkyChart chart(sky().chart, sky().settings, nullptr);
    while (chart.zoomLevel() < level && chart.zoomIn())
        ;
    for (auto _ : state) {
        chart.drawSky({orionRa, orionDec, true, orionRa, orionDec});
        benchmark::DoNotOptimize(chart.hits().size());
    }
}

// Every point the drawing looks at, projected from its catalogue place, nothing drawn.
void projectOnly(benchmark::State& state, int level) {
    const StarCatalog& c = sky().catalog;
    const double limit = ChartScales::magnitudeLimit(level);
    for (auto _ : state) {
        const ChartProjection projection(orionRa, orionDec, ChartScales::chartScale(level), 0,
                                         {600, 320});
        cv::Point2d at;
        int shown = 0;
        const auto project = [&](double ra, double dec) {
            shown += projection.project(ra, dec, &at);
        };
        if (level < 4)
            for (const MilkyWayPoint& point : c.milkyWay)
                project(point.ra, point.dec);
        for (const ConstellationLine& line : c.constellationLines) {
            project(line.ra1, line.dec1);
            project(line.ra2, line.dec2);
        }
        for (const CatalogStar& star : c.stars)
            if (star.vmag <= limit)
                project(star.ra, star.dec);
        for (const ConstellationName& name : c.constellationNames)
            project(name.ra, name.dec);
        for (const SkyPosition& named : c.starNamePositions)
            project(named.ra, named.dec);
        for (const auto* objects : {&c.messier, &c.ngc, &c.ic})
            for (const CatalogObject& object : *objects)
                if (object.present)
                    project(object.ra, object.dec);
        benchmark::DoNotOptimize(shown);
    }
}

// The marks alone, or with both cameras' frames about the telescope.
void refreshChart(benchmark::State& state, bool frames) {
    SettingsRecord settings = sky().settings;
    settings.angle = frames ? 1 : 0;
    SkyChart chart(sky().chart, settings, nullptr);
    chart.drawSky({orionRa, orionDec, true, orionRa, orionDec});
    SkyChart::Marks marks;
    marks.target = true;
    marks.targetRa = orionRa + 1;
    marks.targetDec = marks.scopeDec = orionDec;
    marks.scopeRa = orionRa;
    marks.sensor = {4144, 2822, 4.63};
    marks.digitalCameraMode = true;
    for (auto _ : state) {
        const QImage shown = chart.withMarks(marks);
        benchmark::DoNotOptimize(shown.constBits());
    }
}

void BM_ChartRefresh_Baseline(benchmark::State& state) {
    const cv::Mat image(SkyChart::height, SkyChart::width, CV_8UC3, cv::Scalar(20, 5, 5));
    for (auto _ : state) {
        QImage copy(SkyChart::width, SkyChart::height, QImage::Format_BGR888);
        image.copyTo(cv::Mat(SkyChart::height, SkyChart::width, CV_8UC3, copy.bits(),
                             std::size_t(copy.bytesPerLine())));
        benchmark::DoNotOptimize(copy.constBits());
    }
}

// The binned live frame of a 4144 x 2822 colour sensor at 400 mm, with the chart or without.
void showLive(benchmark::State& state, bool overlay) {
    cv::Mat frame(1411, 2072, CV_8UC1);
    cv::randu(frame, 0, 256);
    ProcessState process;
    process.captureState = 1;
    process.liveOverlayOn = overlay;
    ImageDisplay display(process);
    display.setDisplayGeometry(frame.cols, frame.rows);
    LiveChartOverlay chart(sky().chart, sky().settings, nullptr);
    display.chartOverlay = [&](cv::Mat& canvas, const ImageDisplay::LivePicture& picture) {
        chart.draw(canvas,
                   {picture.onCanvas, picture.scale, picture.frameSize.width, 4144, 4.63, 400, 0},
                   orionRa, orionDec);
    };
    for (auto _ : state) {
        display.showImage(frame, true, 0);
        benchmark::DoNotOptimize(display.canvas().data);
    }
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv); // the chart's names need fonts
    for (int level : {2, 9}) {
        const std::string name = "BM_DrawChartLevel" + std::to_string(level);
        benchmark::RegisterBenchmark(name.c_str(), drawChart, level)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "_Baseline").c_str(), projectOnly, level)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("BM_ChartRefresh", refreshChart, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ChartRefresh_Baseline", BM_ChartRefresh_Baseline)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ChartRefreshFrames", refreshChart, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ChartRefreshFrames_Baseline", refreshChart, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_LiveViewWithChart", showLive, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_LiveViewWithChart_Baseline", showLive, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
