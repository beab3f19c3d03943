// Writing and reading 4144 x 2822 16-bit frames, each beside a plain write or read of the
// same byte count; libtiff writing and reading the same image as strips is its own figure
// against the same baseline. Every write ends with fsync, as ours must.
#include "TiffFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <opencv2/imgproc.hpp>
#include <tiffio.h>
#include <unistd.h>

namespace {

constexpr int width = 4144, height = 2822;

struct Drives {
    QTemporaryDir dir;
    Drives() {
        qputenv("VESPERIX_DRIVES", dir.path().toLocal8Bit());
        QDir().mkpath(dir.path() + "/C/VesperixData");
    }
    std::string host(const char* name) const {
        return (dir.path() + "/C/VesperixData/" + name).toStdString();
    }
};

Drives& drives() {
    static Drives d;
    return d;
}

const cv::Mat& frame(int channels) {
    static cv::Mat images[4];
    cv::Mat& image = images[channels];
    if (image.empty()) {
        image.create(height, width, CV_16UC(channels));
        cv::randu(image, 0, 65535);
    }
    return image;
}

QString ourPath(int channels) {
    drives();
    return channels == 1 ? "C:\\VesperixData\\mono.tif" : "C:\\VesperixData\\rgb.tif";
}

void plainWrite(benchmark::State& state, int channels) {
    const size_t bytes = frame(channels).total() * frame(channels).elemSize();
    std::vector<char> data(bytes, 1);
    const std::string path = drives().host("plain.bin");
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(data.data(), 1, bytes, f);
        std::fflush(f);
        ::fsync(fileno(f));
        std::fclose(f);
    }
}

void plainRead(benchmark::State& state, int channels) {
    const size_t bytes = frame(channels).total() * frame(channels).elemSize();
    const std::string path = drives().host("plain.bin");
    {
        std::vector<char> data(bytes, 1);
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(data.data(), 1, bytes, f);
        std::fclose(f);
    }
    for (auto _ : state) {
        std::unique_ptr<char[]> data(new char[bytes]); // a reader needs fresh memory too
        FILE* f = std::fopen(path.c_str(), "rb");
        benchmark::DoNotOptimize(std::fread(data.get(), 1, bytes, f));
        std::fclose(f);
    }
}

void ourWrite(benchmark::State& state, int channels) {
    const ShootingData data;
    for (auto _ : state)
        writeTiff(ourPath(channels), frame(channels), data);
}

void ourRead(benchmark::State& state, int channels) {
    ShootingData data;
    writeTiff(ourPath(channels), frame(channels), data);
    for (auto _ : state)
        benchmark::DoNotOptimize(readTiff(ourPath(channels), data, 16));
}

void libtiffWrite(benchmark::State& state, int channels) {
    cv::Mat rgb;
    if (channels == 3)
        cv::cvtColor(frame(3), rgb, cv::COLOR_BGR2RGB);
    else
        rgb = frame(1);
    const std::string path = drives().host("libtiff.tif");
    const int rowBytes = width * channels * 2;
    const int rowsPerStrip = std::max(65536 / rowBytes, 1);
    for (auto _ : state) {
        TIFF* tif = TIFFOpen(path.c_str(), "wb");
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, channels);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                     channels == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
        for (int y = 0, s = 0; y < height; y += rowsPerStrip, ++s) {
            const int rows = std::min(rowsPerStrip, height - y);
            TIFFWriteEncodedStrip(tif, s, const_cast<uchar*>(rgb.ptr(y)),
                                  tmsize_t(rows) * rowBytes);
        }
        TIFFFlush(tif);
        ::fsync(TIFFFileno(tif));
        TIFFClose(tif);
    }
}

void libtiffReadOnly(benchmark::State& state, int channels) {
    const std::string path = drives().host(channels == 1 ? "libtiff1.tif" : "libtiff3.tif");
    {
        TIFF* tif = TIFFOpen(path.c_str(), "wb");
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, channels);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                     channels == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, std::max(65536 / (width * channels * 2), 1));
        for (int y = 0; y < height; ++y)
            TIFFWriteScanline(tif, const_cast<uchar*>(frame(channels).ptr(y)), uint32_t(y));
        TIFFClose(tif);
    }
    for (auto _ : state) {
        TIFF* tif = TIFFOpen(path.c_str(), "r");
        cv::Mat image(height, width, CV_16UC(channels));
        const tsize_t stripSize = TIFFStripSize(tif);
        uchar* at = image.data;
        for (tstrip_t s = 0; s < TIFFNumberOfStrips(tif); ++s) {
            const tsize_t n = TIFFReadEncodedStrip(tif, s, at, stripSize);
            at += n;
        }
        if (channels == 3)
            cv::cvtColor(image, image, cv::COLOR_RGB2BGR);
        benchmark::DoNotOptimize(image.data);
        TIFFClose(tif);
    }
}

void BM_WriteMono(benchmark::State& s) {
    ourWrite(s, 1);
}
void BM_WriteMono_Baseline(benchmark::State& s) {
    plainWrite(s, 1);
}
void BM_WriteMonoLibtiff(benchmark::State& s) {
    libtiffWrite(s, 1);
}
void BM_WriteMonoLibtiff_Baseline(benchmark::State& s) {
    plainWrite(s, 1);
}
void BM_WriteRgb(benchmark::State& s) {
    ourWrite(s, 3);
}
void BM_WriteRgb_Baseline(benchmark::State& s) {
    plainWrite(s, 3);
}
void BM_WriteRgbLibtiff(benchmark::State& s) {
    libtiffWrite(s, 3);
}
void BM_WriteRgbLibtiff_Baseline(benchmark::State& s) {
    plainWrite(s, 3);
}
void BM_ReadMono(benchmark::State& s) {
    ourRead(s, 1);
}
void BM_ReadMono_Baseline(benchmark::State& s) {
    plainRead(s, 1);
}
void BM_ReadMonoLibtiff(benchmark::State& s) {
    libtiffReadOnly(s, 1);
}
void BM_ReadMonoLibtiff_Baseline(benchmark::State& s) {
    plainRead(s, 1);
}
void BM_ReadRgb(benchmark::State& s) {
    ourRead(s, 3);
}
void BM_ReadRgb_Baseline(benchmark::State& s) {
    plainRead(s, 3);
}
void BM_ReadRgbLibtiff(benchmark::State& s) {
    libtiffReadOnly(s, 3);
}
void BM_ReadRgbLibtiff_Baseline(benchmark::State& s) {
    plainRead(s, 3);
}

} // namespace

BENCHMARK(BM_WriteMono)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteMono_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteMonoLibtiff)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteMonoLibtiff_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteRgb)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteRgb_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteRgbLibtiff)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteRgbLibtiff_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadMono)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadMono_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadMonoLibtiff)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadMonoLibtiff_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadRgb)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadRgb_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadRgbLibtiff)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadRgbLibtiff_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
