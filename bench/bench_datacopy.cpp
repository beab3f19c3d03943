// The launcher's copy of a night's data folder (100 files of 2.4 MB and 4 of 52 MB) with the
// copier that never leaves a part under the final name, beside QFile::copy of the same files
// followed by fsync, as the copier syncs too. Each run copies into an emptied folder.
#include "FileCopier.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct DataFolder {
    QTemporaryDir dir;
    QStringList names;

    DataFolder() {
        QDir().mkpath(source());
        for (int i = 0; i < 100; ++i)
            write(QString::asprintf("M%04d.tif", i), 2400000);
        for (int i = 0; i < 4; ++i)
            write(QString::asprintf("C%04d.tif", i), 52000000);
        // Both figures start alike: the copy of the run before is deleted first, and nothing
        // is left to write back to the disk.
        QDir().mkpath(destination());
        for (const QString& name : qAsConst(names))
            QFile::copy(source() + '/' + name, destination() + '/' + name);
        ::sync();
    }
    QString source() const { return dir.path() + "/source"; }
    QString destination() const { return dir.path() + "/destination"; }

    void write(const QString& name, int bytes) {
        QByteArray data(bytes, Qt::Uninitialized);
        for (int i = 0; i < bytes; ++i)
            data[i] = char((uint(i) * 2654435761u + uint(names.size())) >> 11);
        QFile file(source() + '/' + name);
        if (file.open(QIODevice::WriteOnly))
            file.write(data);
        names << name;
    }

    void emptyDestination() const {
        QDir(destination()).removeRecursively();
        QDir().mkpath(destination());
    }
};

const DataFolder& folder() {
    static const DataFolder data;
    return data;
}

template <typename CopyOne> void copyAll(benchmark::State& state, CopyOne copyOne) {
    const DataFolder& data = folder();
    for (auto _ : state) {
        state.PauseTiming();
        data.emptyDestination();
        state.ResumeTiming();
        for (const QString& name : data.names)
            if (!copyOne(data.source() + '/' + name, data.destination() + '/' + name))
                state.SkipWithError("copy failed");
    }
}

void BM_DataCopy(benchmark::State& state) {
    const FileCopier copier;
    copyAll(state, [&](const QString& from, const QString& to) {
        return copier.copy(from, to) == FileCopier::Copied;
    });
}

void BM_DataCopy_Baseline(benchmark::State& state) {
    copyAll(state, [](const QString& from, const QString& to) {
        if (!QFile::copy(from, to))
            return false;
        const int fd = ::open(QFile::encodeName(to).constData(), O_RDONLY);
        const bool synced = fd >= 0 && ::fsync(fd) == 0;
        if (fd >= 0)
            ::close(fd);
        return synced;
    });
}

} // namespace

BENCHMARK(BM_DataCopy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DataCopy_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
