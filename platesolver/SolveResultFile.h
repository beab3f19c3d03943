#pragma once

#include <QByteArray>
#include <QString>

class WcsSolution;

// The result file the main program waits for. Seven lines on success: "OK", ra, dec (degrees),
// fovW, fovH (whole arcminutes), arcseconds per pixel, imageRote (degrees); else one line
// "ERROR <reason>". It is written whole under another name and then renamed, because the main
// program reads it as soon as it appears.
class SolveResultFile {
public:
    static bool writeSolution(const QString& path, const WcsSolution& solution);
    static bool writeError(const QString& path, const QString& reason);

private:
    static bool write(const QString& path, const QByteArray& text);
};
