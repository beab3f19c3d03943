#pragma once

#include <QByteArray>
#include <QString>

// The files the program and the plate solver hand each other in the data folder: the command
// file that starts the solver, and the result it writes.
namespace PlateSolveFiles {

const QString image = QStringLiteral("C:\\VesperixData\\solve.jpg");
const QString commandFile = QStringLiteral("C:\\VesperixData\\solve.bat");
const QString resultFile = QStringLiteral("C:\\VesperixData\\result.txt");
const QString solverProgram =
    QStringLiteral("C:\\Program Files (x86)\\PlateSolver\\PlateSolver.exe");

// The command file's one line, without a line end: the solver, the image and the result
// file, the focal length, the pixel size and the telescope's position as the hint, and the
// search radius.
QByteArray commandLine(int focalMm, double pixelSizeUm, double ra, double dec);

struct Result {
    // 0 when solved; else the number of the failure message "解析失敗N": 1 no status line,
    // 2 a status other than "OK", 3..8 the first of lines 2..7 missing or not a sound value.
    int failure = 0;
    double ra = 0, dec = 0;
    int fovW = 0, fovH = 0; // arcminutes
    double imageScale = 0;  // arcseconds per pixel
    double imageRote = 0;   // position angle of the picture's downward direction
};
// Reads the result file's text. A line holds at most 98 bytes; a longer one is read on as
// the next line. A number must be whole: ra in [0, 360), dec in [-90, 90], fields and scale
// above 0.
Result readResult(const QByteArray& text);

// The camera's quarter turns on the sky for a solved rotation: the turn that shows north up.
int cameraRotationFor(double imageRote, int current);

} // namespace PlateSolveFiles
