#include "PlateSolveFiles.h"

#include <QBuffer>
#include <QList>
#include <cmath>

namespace PlateSolveFiles {

namespace {

constexpr int lineBytes = 98;

QList<QByteArray> lines(const QByteArray& text) {
    QBuffer in;
    in.setData(text);
    in.open(QIODevice::ReadOnly);
    QList<QByteArray> read;
    while (!in.atEnd())
        read << in.readLine(lineBytes + 1);
    return read;
}

// The whole line as a number: blanks around it and a CR or LF after it, nothing else.
bool number(const QByteArray& line, double* value) {
    bool ok = false;
    *value = line.trimmed().toDouble(&ok);
    return ok && std::isfinite(*value);
}

bool integer(const QByteArray& line, int* value) {
    bool ok = false;
    *value = line.trimmed().toInt(&ok, 10);
    return ok;
}

} // namespace

QByteArray commandLine(int focalMm, double pixelSizeUm, double ra, double dec) {
    return QString::asprintf("\"C:\\Program Files (x86)\\PlateSolver\\PlateSolver\" /solvefile "
                             "\"C:\\VesperixData\\solve.jpg\" \"%s\" %d %.2f %.2f %.2f 10.0",
                             qPrintable(resultFile), focalMm, pixelSizeUm, ra, dec)
        .toUtf8();
}

Result readResult(const QByteArray& text) {
    const QList<QByteArray> read = lines(text);
    Result result;
    if (read.isEmpty()) {
        result.failure = 1;
        return result;
    }
    if (!read.at(0).startsWith("OK")) {
        result.failure = 2;
        return result;
    }
    const auto at = [&read](int line) { return line < read.size() ? read.at(line) : QByteArray(); };
    const bool sound[] = {number(at(1), &result.ra) && result.ra >= 0 && result.ra < 360,
                          number(at(2), &result.dec) && result.dec >= -90 && result.dec <= 90,
                          integer(at(3), &result.fovW) && result.fovW > 0,
                          integer(at(4), &result.fovH) && result.fovH > 0,
                          number(at(5), &result.imageScale) && result.imageScale > 0,
                          number(at(6), &result.imageRote)};
    for (int i = 0; i < 6; ++i)
        if (!sound[i]) {
            result.failure = 3 + i;
            return result;
        }
    return result;
}

int cameraRotationFor(double imageRote, int current) {
    if (!std::isfinite(imageRote))
        return current;
    // North up solves to -180 or, as well, to just under +180: both are the same turn.
    double r = std::fmod(imageRote + 180 + 45, 360);
    if (r < 0)
        r += 360;
    r -= 45;
    if (r < 45)
        return 0;
    if (r < 135)
        return 3;
    if (r < 225)
        return 2;
    return 1;
}

} // namespace PlateSolveFiles
