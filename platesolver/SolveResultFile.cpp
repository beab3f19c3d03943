#include "SolveResultFile.h"

#include "WcsSolution.h"

#include <QSaveFile>
#include <cmath>

namespace {

// Wrapped after rounding to the printed places, so that 359.9999999 prints as 0, never as 360.
QString angle(double degrees, double low) {
    return QString::number(WcsSolution::wrapped(std::round(degrees * 1e6) / 1e6, low), 'f', 6);
}

} // namespace

bool SolveResultFile::writeSolution(const QString& path, const WcsSolution& s) {
    const QStringList lines{"OK",
                            angle(s.ra, 0),
                            QString::number(s.dec, 'f', 6),
                            QString::number(s.fovW),
                            QString::number(s.fovH),
                            QString::number(s.scale, 'f', 4),
                            angle(s.imageRote, -180)};
    return write(path, (lines.join('\n') + '\n').toLatin1());
}

bool SolveResultFile::writeError(const QString& path, const QString& reason) {
    return write(path, ("ERROR " + reason + '\n').toLocal8Bit());
}

bool SolveResultFile::write(const QString& path, const QByteArray& text) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}
