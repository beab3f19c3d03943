#include "DigicamSettings.h"

#include "SettingsKey.h"
#include "SettingsRecord.h"

#include <cmath>

namespace DigicamSettings {

namespace {

bool withinKeyRange(int SettingsRecord::*field, double value) {
    for (const SettingsKey& key : SettingsKey::settingsFileKeys())
        if (key.number == field)
            return value >= key.min && value <= key.max;
    return false;
}

bool store(SettingsRecord& settings, int SettingsRecord::*field, double value) {
    if (!withinKeyRange(field, value))
        return false;
    settings.*field = int(value);
    return true;
}

} // namespace

const std::array<Preset, 4>& presets() {
    static const std::array<Preset, 4> table = {{{"フォーサーズ", 173, 130},
                                                 {"フルサイズ", 360, 240},
                                                 {"APS-C(×1.5)", 236, 158},
                                                 {"APS-C(×1.6)", 223, 149}}};
    return table;
}

bool setFocal(SettingsRecord& settings, int mm) {
    return store(settings, &SettingsRecord::digiFocal, mm);
}

bool setSide(SettingsRecord& settings, int SettingsRecord::*side, double mm) {
    // The typed digits, not their nearest binary value, are cut: 22.3 is 223 tenths, not 222.
    return store(settings, side, std::trunc(mm * 10 + 1e-6));
}

void setPreset(SettingsRecord& settings, const Preset& preset) {
    settings.digiCenLong = preset.longTenths;
    settings.digiCenShort = preset.shortTenths;
}

bool centreOnPicked(SettingsRecord& settings, std::optional<GotoMath::Position> picked,
                    GotoMath::Position scope) {
    double offRa = 0, offDec = 0;
    if (picked) {
        const double sign = settings.decDir == 1 ? -1 : 1;
        offRa = std::trunc(sign * GotoMath::signedRaDifference(picked->ra, scope.ra) * 1000);
        offDec = std::trunc(sign * (picked->dec - scope.dec) * 1000);
    }
    if (!withinKeyRange(&SettingsRecord::digiOffRa, offRa) ||
        !withinKeyRange(&SettingsRecord::digiOffDec, offDec))
        return false;
    settings.digiOffRa = int(offRa);
    settings.digiOffDec = int(offDec);
    return true;
}

QString focalText(int mm) {
    return QString::number(mm) + "mm";
}

QString sideText(int tenths) {
    return QString::number(tenths / 10.0, 'f', 1) + "mm";
}

} // namespace DigicamSettings
