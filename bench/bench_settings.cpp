// Saving and loading the settings file, each beside a plain write or read of the same bytes.
#include "SettingsFile.h"
#include "SettingsRecord.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Drives {
    QTemporaryDir dir;
    Drives() { qputenv("VESPERIX_DRIVES", dir.path().toLocal8Bit()); }
};

SettingsRecord& record() {
    static Drives drives;
    static SettingsRecord settings = [] {
        SettingsRecord r;
        r.setDefaults();
        ensureSettingsPath(r);
        saveSettings(r);
        return r;
    }();
    return settings;
}

QString hostFile() {
    return qEnvironmentVariable("VESPERIX_DRIVES") + "/C/OrlentVesperixIni/Vesperix.ini";
}

QByteArray savedBytes() {
    QFile file(hostFile());
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void BM_SaveSettings(benchmark::State& state) {
    SettingsRecord& settings = record();
    for (auto _ : state)
        saveSettings(settings);
}

void BM_SaveSettings_Baseline(benchmark::State& state) {
    record();
    const QByteArray bytes = savedBytes();
    const QString path = hostFile() + ".plain";
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
    }
}

void BM_LoadSettings(benchmark::State& state) {
    SettingsRecord loaded = record();
    for (auto _ : state)
        loadSettings(loaded);
}

void BM_LoadSettings_Baseline(benchmark::State& state) {
    record();
    for (auto _ : state) {
        QFile file(hostFile());
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll());
    }
}

} // namespace

BENCHMARK(BM_SaveSettings);
BENCHMARK(BM_SaveSettings_Baseline);
BENCHMARK(BM_LoadSettings);
BENCHMARK(BM_LoadSettings_Baseline);
BENCHMARK_MAIN();
