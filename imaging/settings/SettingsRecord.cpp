#include "SettingsRecord.h"

#include "SettingsKey.h"

#include <cmath>

namespace {

void applyDefaults(SettingsRecord& record, const QVector<SettingsKey>& keys) {
    for (const SettingsKey& key : keys) {
        if (key.number)
            record.*key.number = key.defaultValue;
    }
}

// Degrees to 1/1000 degree, truncated toward zero and kept inside the key's range so that
// the next load accepts it again.
int toThousandths(double degrees, int limit) {
    if (!std::isfinite(degrees))
        return 0;
    const double thousandths = std::trunc(degrees * 1000.0);
    return int(std::fmax(-limit, std::fmin(limit, thousandths)));
}

} // namespace

void SettingsRecord::setDefaults() {
    *this = SettingsRecord{};
    applyDefaults(*this, SettingsKey::settingsFileKeys());
    applyDefaults(*this, SettingsKey::axiloFileKeys());
}

void SettingsRecord::setBaseDegrees(double raDegrees, double decDegrees) {
    raBase1000 = toThousandths(raDegrees, 360000);
    decBase1000 = toThousandths(decDegrees, 90000);
}
