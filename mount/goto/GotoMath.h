#pragma once

#include <QString>
#include <QVector>

// The arithmetic of the goto window's mount actions, in degrees.
namespace GotoMath {

// RA into [0, 360).
double wrapRa(double ra);
// A declination past a pole, as the step model may give, folded back: 95 is 85.
double foldDec(double dec);
// The shorter way from `start` to `target` in RA: from 350 to 10 is +20, not -340.
double signedRaDifference(double target, double start);

struct Position {
    double ra = 0;
    double dec = 0;
};
// The digital camera's target: the object offset by the camera's offsets (thousandths of a
// degree), added when `decDir` is 1, taken off when it is 0.
Position digitalCameraTarget(Position object, int digiOffRa, int digiOffDec, int decDir);

// HOME: the tube at the pole, the RA axis 90 degrees from the meridian, on the east (pier
// side 1) or the west of the pier.
Position home(double lstDegrees, int pierSide);

// How far the object stands east of the meridian, -180..180 (negative: west).
double eastOfMeridian(double objectRa, double lstDegrees);
// The pier-side question's sentence for that.
QString meridianSentence(double eastDegrees);

// One axis move of a goto: axis 0 RA, 1 Dec, the protocol's direction digit, the amount.
struct Move {
    int axis = 0;
    int dir = 0;
    double degrees = 0;
};
// The moves from one position to another at goto rate; nothing for a zero difference, but a
// HOME goto always moves RA (zero degrees with dir 0 when there is nothing to go).
QVector<Move> moves(Position from, Position to, bool fromHome);

} // namespace GotoMath
