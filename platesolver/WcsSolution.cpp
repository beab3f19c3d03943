#include "WcsSolution.h"

#include <QFile>
#include <QHash>
#include <cmath>

namespace {

constexpr int cardBytes = 80;
constexpr qint64 maxHeaderBytes = 2880 * 64;
constexpr double degree = M_PI / 180;

// The numeric cards of a FITS header up to END, by keyword.
QHash<QByteArray, double> numericCards(const QByteArray& header) {
    QHash<QByteArray, double> cards;
    for (int at = 0; at + cardBytes <= header.size(); at += cardBytes) {
        const QByteArray card = header.mid(at, cardBytes);
        const QByteArray key = card.left(8).trimmed();
        if (key == "END")
            break;
        if (card.mid(8, 2) != "= ")
            continue;
        QByteArray value = card.mid(10);
        const int comment = value.indexOf('/');
        if (comment >= 0)
            value.truncate(comment);
        // Fortran writes its exponents with D.
        value = value.trimmed().replace('D', 'E');
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (ok && std::isfinite(number))
            cards.insert(key, number);
    }
    return cards;
}

} // namespace

double WcsSolution::wrapped(double degrees, double low) {
    return low + std::fmod(std::fmod(degrees - low, 360) + 360, 360);
}

bool WcsSolution::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QHash<QByteArray, double> cards = numericCards(file.read(maxHeaderBytes));
    for (const char* key : {"CRVAL1", "CRVAL2", "CRPIX1", "CRPIX2", "CD1_1", "CD1_2", "CD2_1",
                            "CD2_2", "IMAGEW", "IMAGEH"}) {
        if (!cards.contains(key))
            return false;
    }
    const double cd11 = cards["CD1_1"], cd12 = cards["CD1_2"];
    const double cd21 = cards["CD2_1"], cd22 = cards["CD2_2"];
    const double width = cards["IMAGEW"], height = cards["IMAGEH"];
    const double det = cd11 * cd22 - cd12 * cd21;
    if (det == 0 || width < 1 || height < 1)
        return false;

    // The centre from the reference point: the step to the centre pixel in the tangent plane
    // (xi towards east, eta towards north), projected back onto the sky.
    const double dx = (width + 1) / 2 - cards["CRPIX1"];
    const double dy = (height + 1) / 2 - cards["CRPIX2"];
    const double xi = (cd11 * dx + cd12 * dy) * degree;
    const double eta = (cd21 * dx + cd22 * dy) * degree;
    const double ra0 = cards["CRVAL1"] * degree, dec0 = cards["CRVAL2"] * degree;
    const double across = std::cos(dec0) - eta * std::sin(dec0);
    ra = wrapped((ra0 + std::atan2(xi, across)) / degree, 0);
    dec = std::atan2(std::sin(dec0) + eta * std::cos(dec0), std::hypot(xi, across)) / degree;

    scale = std::sqrt(std::abs(det)) * 3600;
    fovW = int(std::lround(width * std::hypot(cd11, cd21) * 60));
    fovH = int(std::lround(height * std::hypot(cd12, cd22) * 60));
    // Down the picture is the column (CD1_2, CD2_2): its east and north parts.
    imageRote = wrapped(std::atan2(cd12, cd22) / degree, -180);
    return true;
}
