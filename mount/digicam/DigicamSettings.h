#pragma once

#include "GotoMath.h"

#include <QString>
#include <array>
#include <optional>

struct SettingsRecord;

// The digital camera's frame as the user sets it: the focal length, the sensor's sides, their
// presets and where the frame's centre lies from the goto point. A value outside its settings
// key's range is refused and nothing changes: shown and used now, the settings file would drop
// it at the next start.
namespace DigicamSettings {

struct Preset {
    const char* name;
    int longTenths; // tenths of a millimetre
    int shortTenths;
};
const std::array<Preset, 4>& presets();

// False, and nothing stored, when refused.
bool setFocal(SettingsRecord& settings, int mm);
// `side` is digiCenLong or digiCenShort; the keypad's decimal is kept to the tenth below.
bool setSide(SettingsRecord& settings, int SettingsRecord::*side, double mm);
void setPreset(SettingsRecord& settings, const Preset& preset);

// The frame's centre on the picked object: its offset from the telescope in thousandths of a
// degree, the shorter way round in RA, negated with `decDir` 1 as the goto applies it the other
// way then. Nothing picked: no offset.
bool centreOnPicked(SettingsRecord& settings, std::optional<GotoMath::Position> picked,
                    GotoMath::Position scope);

// The buttons' texts: "300mm", "36.0mm".
QString focalText(int mm);
QString sideText(int tenths);

} // namespace DigicamSettings
