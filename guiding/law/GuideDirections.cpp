#include "GuideDirections.h"

#include "SettingsRecord.h"

#include <cmath>

namespace {
bool isDirection(int letter) {
    return letter == 'N' || letter == 'S' || letter == 'E' || letter == 'W';
}
} // namespace

void GuideDirections::clear(SettingsRecord& settings) {
    settings.dirRight = settings.dirLeft = settings.dirUpper = settings.dirLower = unset;
}

void GuideDirections::assign(SettingsRecord& settings, double vx, double vy, char letter) {
    if (std::fabs(vx) > std::fabs(vy))
        (vx >= 0 ? settings.dirRight : settings.dirLeft) = letter;
    else
        (vy >= 0 ? settings.dirLower : settings.dirUpper) = letter;
}

bool GuideDirections::complete(const SettingsRecord& settings) {
    const int letters[] = {settings.dirRight, settings.dirLeft, settings.dirUpper,
                           settings.dirLower};
    for (int i = 0; i < 4; ++i) {
        if (!isDirection(letters[i]))
            return false;
        for (int j = 0; j < i; ++j)
            if (letters[i] == letters[j])
                return false;
    }
    return true;
}

bool GuideDirections::xIsDec(const SettingsRecord& settings) {
    return settings.dirLeft == 'N' || settings.dirLeft == 'S';
}

QString GuideDirections::label(int letter) {
    return isDirection(letter) ? QString(QChar(letter)) : QStringLiteral("-");
}
