#include "SimDeepSky.h"

#include "HostPath.h"
#include "StarCatalog.h"

#include <QFile>
#include <cmath>

namespace {

// Types of the data file: nebulae that shine by their own light, by reflected starlight, and
// galaxies.
SimDeepSkyObject::Light lightOf(const QByteArray& type, bool* known) {
    *known = true;
    if (type == "bn" || type == "en" || type == "pn" || type == "snr")
        return SimDeepSkyObject::Emission;
    if (type == "rn")
        return SimDeepSkyObject::Reflection;
    *known = type == "s" || type == "s0" || type == "e" || type == "i" || type == "g";
    return SimDeepSkyObject::Galaxy;
}

const CatalogObject* positionOf(const StarCatalog& catalog, char key, int number) {
    switch (key) {
    case 'M':
        return catalog.messierObject(number);
    case 'N':
        return catalog.ngcObject(number);
    case 'I':
        return catalog.icObject(number);
    default:
        return nullptr;
    }
}

} // namespace

std::vector<SimDeepSkyObject> loadDeepSky(const QString& programFolder,
                                          const StarCatalog& catalog) {
    std::vector<SimDeepSkyObject> objects;
    QFile file(HostPath::toHost(programFolder + "\\deepSkyData.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return objects;
    while (!file.atEnd()) {
        // "N1976,bn,4.00,90.00,60.00,"
        const QList<QByteArray> fields = file.readLine().trimmed().split(',');
        if (fields.size() < 5 || fields[0].size() < 2)
            continue;
        bool numberOk, magOk, majorOk, minorOk, known;
        const int number = fields[0].mid(1).toInt(&numberOk);
        SimDeepSkyObject object;
        object.magnitude = fields[2].toDouble(&magOk);
        object.majorArcmin = fields[3].toDouble(&majorOk);
        object.minorArcmin = fields[4].toDouble(&minorOk);
        object.light = lightOf(fields[1], &known);
        const CatalogObject* at = numberOk ? positionOf(catalog, fields[0][0], number) : nullptr;
        if (!at || !magOk || !majorOk || !minorOk || !known || !(object.majorArcmin > 0) ||
            !(object.minorArcmin > 0) || !std::isfinite(object.magnitude))
            continue;
        object.ra = at->ra;
        object.dec = at->dec;
        // The golden angle spreads neighbouring numbers evenly over the half turn.
        object.positionAngleDeg = std::fmod(number * 137.50776405, 180.0);
        objects.push_back(object);
    }
    return objects;
}
