#include "TiffFile.h"

#include "AtomicFile.h"
#include "DebugLog.h"
#include "HostPath.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

namespace {

// A multiple of 2 and of 6, so that no pixel is split between two chunks.
constexpr size_t bufferSize = 2000004;
constexpr uint32_t maxSide = 65535;
constexpr uint16_t typeAscii = 2, typeShort = 3, typeLong = 4, typeRational = 5, typeUndefined = 7,
                   typeSRational = 10;

struct Layout {
    uint64_t width, height, channels;
    uint64_t rowBytes, rowsPerStrip, strips, stripBytes, lastStripBytes;
    uint64_t b, pixelOffset, pixelBytes, exifOffset, modelOffset, valuesOffset, end;
};

Layout layoutFor(uint64_t width, uint64_t height, uint64_t channels, uint64_t modelLength) {
    Layout l{};
    l.width = width;
    l.height = height;
    l.channels = channels;
    l.rowBytes = width * channels * 2;
    l.rowsPerStrip = std::max<uint64_t>(65536 / l.rowBytes, 1);
    l.strips = std::max<uint64_t>((height - 1 + l.rowsPerStrip) / l.rowsPerStrip, 1);
    l.stripBytes = l.rowsPerStrip * l.rowBytes;
    l.pixelBytes = l.rowBytes * height;
    l.lastStripBytes = l.pixelBytes - (l.strips - 1) * l.stripBytes;
    l.b = channels == 3 ? 6 : 0;
    l.pixelOffset = 158 + l.b + (l.strips > 1 ? 8 * l.strips : 0);
    l.exifOffset = l.pixelOffset + l.b + l.pixelBytes;
    l.modelOffset = l.exifOffset + 102;
    l.valuesOffset = l.modelOffset + modelLength + 1;
    l.end = l.valuesOffset + 44;
    return l;
}

class BigEndianOut {
public:
    explicit BigEndianOut(uint8_t* buffer)
        : p(buffer) {}
    void put16(uint32_t v) {
        p[pos++] = uint8_t(v >> 8);
        p[pos++] = uint8_t(v);
    }
    void put32(uint32_t v) {
        put16(v >> 16);
        put16(v);
    }
    void putBytes(const void* bytes, size_t n) {
        std::memcpy(p + pos, bytes, n);
        pos += n;
    }
    void entry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
        put16(tag);
        put16(type);
        put32(count);
        put32(value);
    }
    // SHORT values sit left-justified in the 4-byte field.
    void shortEntry(uint16_t tag, uint32_t count, uint32_t value) {
        entry(tag, typeShort, count, value << 16);
    }
    uint8_t* p;
    size_t pos = 0;
};

// Converts `pixels` pixels from host-order BGR (or mono) to big-endian RGB (or mono).
void toFile(const uint16_t* in, uint8_t* out, size_t pixels, int channels) {
    if (channels == 1) {
        qToBigEndian<quint16>(in, qsizetype(pixels), out);
        return;
    }
    // Swap the bytes of every sample at once, then red and blue of every pixel.
    qToBigEndian<quint16>(in, qsizetype(pixels * 3), out);
    for (size_t i = 0; i < pixels; ++i, out += 6) {
        uint8_t first[2];
        std::memcpy(first, out, 2);
        std::memcpy(out, out + 4, 2);
        std::memcpy(out + 4, first, 2);
    }
}

} // namespace

int writeTiff(const QString& windowsPath, const cv::Mat& image, const ShootingData& data) {
    if (image.empty() || image.depth() != CV_16U || image.dims != 2) {
        debugLog("tiff image not supported %s", qPrintable(windowsPath));
        return 0;
    }
    return writeTiff(
        windowsPath, image.cols, image.rows, image.channels(),
        [&image](int y) { return image.ptr<uint16_t>(y); }, data);
}

int writeTiff(const QString& windowsPath, int width, int height, int channels,
              const TiffRowSource& rowOf, const ShootingData& data) {
    if (width <= 0 || height <= 0 || (channels != 1 && channels != 3) ||
        uint32_t(width) > maxSide || uint32_t(height) > maxSide) {
        debugLog("tiff image not supported %s", qPrintable(windowsPath));
        return 0;
    }
    const QByteArray model = data.model.left(ShootingData::maxModelLength);
    const Layout l = layoutFor(width, height, channels, model.size());
    // Offsets in the file are 32-bit.
    if (l.end > UINT32_MAX) {
        debugLog("tiff image not supported %s", qPrintable(windowsPath));
        return 0;
    }

    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[bufferSize]);
    if (!buffer) {
        debugLog("Out of memory make tiff data");
        return 0;
    }

    const uint32_t pixelStart = uint32_t(l.pixelOffset + l.b); // the first strip
    const uint32_t modelOffset = uint32_t(l.modelOffset);
    const uint32_t modelCount = uint32_t(model.size()) + 1;
    BigEndianOut out(buffer.get());
    out.putBytes("MM", 2);
    out.put16(42);
    out.put32(8);
    out.put16(12);
    out.entry(254, typeLong, 1, 0);
    out.entry(256, typeLong, 1, uint32_t(l.width));
    out.entry(257, typeLong, 1, uint32_t(l.height));
    if (modelCount <= 4) { // text this short lives in the entry itself
        out.entry(272, typeAscii, modelCount, 0);
        std::memcpy(out.p + out.pos - 4, model.constData(), model.size());
    } else {
        out.entry(272, typeAscii, modelCount, modelOffset);
    }
    out.entry(306, typeAscii, ShootingData::dateTimeLength, uint32_t(l.valuesOffset + 24));
    out.entry(258, typeShort, channels, channels == 1 ? 16u << 16 : 158u);
    out.shortEntry(262, 1, channels == 1 ? 1 : 2);
    out.shortEntry(277, 1, channels);
    const uint32_t stripArray = uint32_t(158 + l.b);
    if (l.strips > 1) {
        out.entry(273, typeLong, uint32_t(l.strips), stripArray);
        out.entry(278, typeLong, 1, uint32_t(l.rowsPerStrip));
        out.entry(279, typeLong, uint32_t(l.strips), uint32_t(stripArray + 4 * l.strips));
    } else {
        out.entry(273, typeLong, 1, pixelStart);
        out.entry(278, typeLong, 1, uint32_t(l.height));
        out.entry(279, typeLong, 1, uint32_t(l.pixelBytes));
    }
    out.entry(34665, typeLong, 1, uint32_t(l.exifOffset));
    out.put32(0);
    if (out.pos != 158)
        debugLog("Table Head position Err");
    if (channels == 3) {
        for (int i = 0; i < 3; ++i)
            out.put16(16);
    }
    if (l.strips > 1) {
        for (uint64_t i = 0; i < l.strips; ++i)
            out.put32(uint32_t(pixelStart + i * l.stripBytes));
        for (uint64_t i = 0; i < l.strips; ++i)
            out.put32(uint32_t(i + 1 < l.strips ? l.stripBytes : l.lastStripBytes));
    }
    if (out.pos != l.pixelOffset)
        debugLog("Strip Head position Err");
    if (channels == 3) {
        for (int i = 0; i < 3; ++i)
            out.put16(16);
    }

    // A temporary file beside the target, renamed over it only once everything is on disk.
    QSaveFile file(HostPath::toHost(windowsPath));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        debugLog("Binary file create error");
        return 0;
    }
    auto fail = [&file](const char* message) {
        debugLog("%s", message);
        file.cancelWriting();
        file.commit();
        return 0;
    };
    const auto writeBuffer = [&](size_t n) {
        return file.write(reinterpret_cast<const char*>(buffer.get()), qint64(n)) == qint64(n);
    };
    if (!writeBuffer(out.pos))
        return fail("Binary file write error");

    const size_t pixelSize = size_t(2 * channels);
    const size_t chunkPixels = bufferSize / pixelSize;
    size_t filled = 0; // pixels in the buffer
    for (int y = 0; y < height; ++y) {
        const uint16_t* row = rowOf(y);
        if (!row)
            return fail("Binary file write error 2");
        size_t left = size_t(width);
        while (left > 0) {
            const size_t n = std::min(left, chunkPixels - filled);
            toFile(row, buffer.get() + filled * pixelSize, n, channels);
            row += n * channels;
            left -= n;
            filled += n;
            if (filled == chunkPixels) {
                if (!writeBuffer(bufferSize))
                    return fail("Binary file write error 2");
                filled = 0;
            }
        }
    }
    if (filled > 0 && !writeBuffer(filled * pixelSize))
        return fail("Binary file write error 3");

    out.pos = 0;
    out.put16(8);
    out.entry(36864, typeUndefined, 4, 0x30323330); // "0230"
    out.entry(33434, typeRational, 1, uint32_t(l.valuesOffset));
    out.shortEntry(34864, 1, 3);
    out.shortEntry(34855, 1, uint16_t(data.gain));
    out.entry(37379, typeSRational, 1, uint32_t(l.valuesOffset + 8));
    out.entry(37380, typeSRational, 1, uint32_t(l.valuesOffset + 16));
    out.shortEntry(37384, 1, uint16_t(data.frameCount));
    out.shortEntry(37385, 1, uint16_t(data.correctionFlags));
    out.put32(0);
    out.putBytes(model.constData(), size_t(model.size()));
    out.p[out.pos++] = 0;
    if (l.exifOffset + out.pos != l.valuesOffset)
        debugLog("exposure Head position Err");
    out.put32(uint32_t(data.exposureNumerator));
    out.put32(uint32_t(data.exposureDenominator));
    out.put32(uint32_t(data.offset));
    out.put32(1);
    out.put32(0);
    out.put32(1);
    // Only a time of the stored form is written, so that every reader can take it.
    ShootingData stored;
    stored.setCapturedAt(data.capturedAt());
    out.putBytes(stored.dateTime.constData(), ShootingData::dateTimeLength);
    if (!writeBuffer(out.pos) || !AtomicFile::syncToDisk(file))
        return fail("Binary file write error");
    if (!file.commit()) {
        debugLog("Binary file write error");
        return 0;
    }
    return 1;
}

namespace {

// Bounds-checked big-endian access to a file held in memory.
class FileBytes {
public:
    FileBytes(const uint8_t* bytes, uint64_t size)
        : p(bytes)
        , size(size) {}
    bool has(uint64_t offset, uint64_t length) const {
        return offset <= size && length <= size - offset;
    }
    uint16_t u16(uint64_t offset) const { return uint16_t(p[offset] << 8 | p[offset + 1]); }
    uint32_t u32(uint64_t offset) const { return uint32_t(u16(offset)) << 16 | u16(offset + 2); }

    // Where an entry's values are: in the entry itself when they fit in 4 bytes.
    bool values(uint64_t entry, uint64_t elementSize, uint64_t& offset) const {
        const uint64_t count = u32(entry + 4);
        offset = count * elementSize <= 4 ? entry + 8 : u32(entry + 8);
        return has(offset, count * elementSize);
    }
    // The first value of a SHORT or LONG entry.
    bool firstValue(uint64_t entry, uint32_t& value) const {
        const uint16_t type = u16(entry + 2);
        if ((type != typeShort && type != typeLong) || u32(entry + 4) == 0)
            return false;
        const uint64_t elementSize = type == typeShort ? 2 : 4;
        uint64_t offset = 0;
        if (!has(entry + 8, 4) || !values(entry, elementSize, offset))
            return false;
        value = elementSize == 2 ? u16(offset) : u32(offset);
        return true;
    }
    // Where the first (S)RATIONAL of an entry is.
    bool rational(uint64_t entry, uint64_t& offset) const {
        const uint16_t type = u16(entry + 2);
        if ((type != typeRational && type != typeSRational) || u32(entry + 4) == 0)
            return false;
        offset = u32(entry + 8);
        return has(offset, 8);
    }
    // Up to `limit` bytes of an ASCII entry.
    bool text(uint64_t entry, int limit, QByteArray& out) const {
        const uint16_t type = u16(entry + 2);
        uint64_t offset = 0;
        if ((type != typeAscii && type != typeUndefined) || !values(entry, 1, offset))
            return false;
        const uint64_t count = std::min<uint64_t>(u32(entry + 4), uint64_t(limit));
        out = QByteArray(reinterpret_cast<const char*>(p + offset), int(count));
        return true;
    }

    const uint8_t* p;
    uint64_t size;
};

inline uint16_t bigEndian16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return qFromBigEndian(v);
}

template <typename Out>
void fromFile(const FileBytes& bytes, uint64_t offset, cv::Mat& image, int shift) {
    const int channels = image.channels();
    const uint8_t* in = bytes.p + offset;
    for (int y = 0; y < image.rows; ++y) {
        Out* row = image.ptr<Out>(y);
        const size_t samples = size_t(image.cols) * channels;
        if (channels == 1 && std::is_same<Out, uint16_t>::value) {
            qFromBigEndian<quint16>(in, qsizetype(samples), row);
        } else if (channels == 1) {
            for (size_t i = 0; i < samples; ++i)
                row[i] = Out(bigEndian16(in + 2 * i) >> shift);
        } else {
            for (size_t i = 0; i < samples; i += 3) {
                row[i] = Out(bigEndian16(in + 2 * i + 4) >> shift);
                row[i + 1] = Out(bigEndian16(in + 2 * i + 2) >> shift);
                row[i + 2] = Out(bigEndian16(in + 2 * i) >> shift);
            }
        }
        in += samples * 2;
    }
}

} // namespace

cv::Mat readTiff(const QString& windowsPath, ShootingData& data, int depth) {
    data = ShootingData();
    const QByteArray name = windowsPath.toLocal8Bit();
    QFile file(HostPath::toHost(windowsPath));
    if (!file.open(QIODevice::ReadOnly)) {
        debugLog("file cannot open %s", name.constData());
        return {};
    }
    const qint64 fileSize = file.size();
    auto formatError = [&name]() {
        debugLog("file format error %s", name.constData());
        return cv::Mat();
    };
    // Offsets are 32-bit, so no file of ours is larger.
    if (fileSize < 8 || uint64_t(fileSize) > UINT32_MAX)
        return formatError();
    // The whole file in memory: mapped where the system can, else read in one go.
    std::unique_ptr<uint8_t[]> content;
    const uint8_t* whole = file.map(0, fileSize);
    if (!whole) {
        content.reset(new (std::nothrow) uint8_t[size_t(fileSize)]);
        if (!content || file.read(reinterpret_cast<char*>(content.get()), fileSize) != fileSize) {
            debugLog("file cannot raed %s", name.constData());
            return {};
        }
        whole = content.get();
    }

    const FileBytes bytes(whole, uint64_t(fileSize));
    if (std::memcmp(bytes.p, "MM\0*", 4) != 0)
        return formatError();

    // The first IFD is always at 8 in our files.
    if (!bytes.has(8, 2) || !bytes.has(10, uint64_t(bytes.u16(8)) * 12))
        return formatError();
    uint32_t width = 0, height = 0, channels = 0, stripOffset = 0, exifOffset = 0;
    bool haveStrips = false, haveExif = false;
    const uint64_t entries = bytes.u16(8);
    for (uint64_t i = 0; i < entries; ++i) {
        const uint64_t entry = 10 + 12 * i;
        uint32_t value = 0;
        switch (bytes.u16(entry)) {
        case 256:
            if (!bytes.firstValue(entry, width))
                return formatError();
            break;
        case 257:
            if (!bytes.firstValue(entry, height))
                return formatError();
            break;
        case 258: {
            channels = bytes.u32(entry + 4);
            if (channels != 1 && channels != 3) {
                debugLog("file format error");
                return cv::Mat(1, 1, depth == 8 ? CV_8UC1 : CV_16UC1, cv::Scalar(0));
            }
            uint64_t offset = 0;
            if (bytes.u16(entry + 2) != typeShort || !bytes.values(entry, 2, offset))
                return formatError();
            for (uint32_t c = 0; c < channels; ++c) {
                if (bytes.u16(offset + 2 * c) != 16)
                    return formatError();
            }
            break;
        }
        case 259: // compression: none only
        case 284: // planar configuration: contiguous only
            if (!bytes.firstValue(entry, value) || value != 1)
                return formatError();
            break;
        case 273:
            if (!bytes.firstValue(entry, stripOffset))
                return formatError();
            haveStrips = true;
            break;
        case 272:
            if (!bytes.text(entry, ShootingData::maxModelLength, data.model))
                return formatError();
            data.model.truncate(int(qstrnlen(data.model.constData(), uint(data.model.size()))));
            break;
        case 306: {
            QByteArray text;
            if (!bytes.text(entry, ShootingData::dateTimeLength, text))
                return formatError();
            data.dateTime = text.leftJustified(ShootingData::dateTimeLength, '\0');
            break;
        }
        case 34665:
            if (!bytes.firstValue(entry, exifOffset))
                return formatError();
            haveExif = true;
            break;
        default:
            break;
        }
    }
    if (width == 0 || height == 0 || width > maxSide || height > maxSide || channels == 0 ||
        !haveStrips)
        return formatError();
    // SamplesPerPixel, where given, must agree with BitsPerSample.
    for (uint64_t i = 0; i < entries; ++i) {
        uint32_t value = 0;
        if (bytes.u16(10 + 12 * i) == 277 &&
            (!bytes.firstValue(10 + 12 * i, value) || value != channels))
            return formatError();
    }

    if (haveExif) {
        if (!bytes.has(exifOffset, 2) ||
            !bytes.has(uint64_t(exifOffset) + 2, uint64_t(bytes.u16(exifOffset)) * 12))
            return formatError();
        const uint64_t exifEntries = bytes.u16(exifOffset);
        for (uint64_t i = 0; i < exifEntries; ++i) {
            const uint64_t entry = uint64_t(exifOffset) + 2 + 12 * i;
            uint64_t offset = 0;
            uint32_t value = 0;
            switch (bytes.u16(entry)) {
            case 33434:
                if (!bytes.rational(entry, offset))
                    return formatError();
                data.exposureNumerator = int32_t(bytes.u32(offset));
                data.exposureDenominator = int32_t(bytes.u32(offset + 4));
                break;
            case 37379:
                if (!bytes.rational(entry, offset))
                    return formatError();
                data.offset = int32_t(bytes.u32(offset));
                break;
            case 34855:
            case 37384:
            case 37385: {
                if (!bytes.firstValue(entry, value))
                    return formatError();
                const uint16_t tag = bytes.u16(entry);
                (tag == 34855   ? data.gain
                 : tag == 37384 ? data.frameCount
                                : data.correctionFlags) = int32_t(value);
                break;
            }
            default:
                break;
            }
        }
    }

    const uint64_t pixelBytes = uint64_t(width) * height * channels * 2;
    if (!bytes.has(stripOffset, pixelBytes))
        return formatError();
    const int type = depth == 8 ? CV_8UC(int(channels)) : CV_16UC(int(channels));
    cv::Mat image(int(height), int(width), type);
    if (depth == 8)
        fromFile<uint8_t>(bytes, stripOffset, image, 8);
    else
        fromFile<uint16_t>(bytes, stripOffset, image, 0);
    return image;
}
