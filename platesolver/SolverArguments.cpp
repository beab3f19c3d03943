#include "SolverArguments.h"

#include <cmath>

namespace {

bool toNumber(const QString& text, double* value) {
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok && std::isfinite(*value);
}

} // namespace

SolverArguments SolverArguments::parse(const QStringList& arguments) {
    SolverArguments a;
    // Without the switch the third word need not be a result file: nothing is written then.
    if (arguments.value(0) != "/solvefile")
        return a;
    a.resultPath = arguments.value(2);
    if (arguments.size() != 8)
        return a;
    a.imagePath = arguments[1];
    bool focalOk = false;
    a.focalMm = arguments[3].toInt(&focalOk);
    a.valid = focalOk && a.focalMm > 0 && !a.imagePath.isEmpty() && !a.resultPath.isEmpty() &&
              toNumber(arguments[4], &a.pixelUm) && a.pixelUm > 0 &&
              toNumber(arguments[5], &a.ra) && toNumber(arguments[6], &a.dec) &&
              std::abs(a.dec) <= 90 && toNumber(arguments[7], &a.radiusDeg) && a.radiusDeg > 0;
    return a;
}

double SolverArguments::expectedScale() const {
    return 206.265 * pixelUm / focalMm;
}
