#include "GotoMath.h"

#include <cmath>

namespace GotoMath {

double wrapRa(double ra) {
    ra = std::fmod(ra, 360.0);
    return ra < 0 ? ra + 360 : ra;
}

double foldDec(double dec) {
    if (dec >= 90)
        return 180 - dec;
    if (dec <= -90)
        return -180 - dec;
    return dec;
}

double signedRaDifference(double target, double start) {
    const double d = target - start;
    if (std::fabs(d) <= 180)
        return d;
    return d > 0 ? -(360 - std::fabs(d)) : 360 - std::fabs(d);
}

Position digitalCameraTarget(Position object, int digiOffRa, int digiOffDec, int decDir) {
    const double sign = decDir == 1 ? 1 : -1;
    Position target;
    target.ra = wrapRa(object.ra + sign * digiOffRa / 1000.0);
    target.dec = foldDec(object.dec + sign * digiOffDec / 1000.0);
    return target;
}

Position home(double lstDegrees, int pierSide) {
    Position p;
    p.ra = wrapRa(pierSide == 1 ? lstDegrees - 90 : lstDegrees + 90);
    p.dec = 90;
    return p;
}

double eastOfMeridian(double objectRa, double lstDegrees) {
    return signedRaDifference(objectRa, lstDegrees);
}

QString meridianSentence(double eastDegrees) {
    const int degrees = int(std::fabs(eastDegrees));
    return eastDegrees > 0 ? QStringLiteral("対象天体は子午線より%1°東にあります。").arg(degrees)
                           : QStringLiteral("対象天体は子午線より%1°西にあります。").arg(degrees);
}

QVector<Move> moves(Position from, Position to, bool fromHome) {
    const double dRa = signedRaDifference(to.ra, from.ra);
    const double dDec = to.dec - from.dec;
    QVector<Move> list;
    if (dRa > 0)
        list.append({0, 1, dRa});
    else if (dRa < 0 || fromHome)
        list.append({0, 0, -dRa});
    if (dDec > 0)
        list.append({1, 0, dDec});
    else if (dDec < 0)
        list.append({1, 1, -dDec});
    return list;
}

} // namespace GotoMath
