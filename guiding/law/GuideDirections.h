#pragma once

#include <QString>

struct SettingsRecord;

// The four direction letters of the settings (`dirRight`, `dirLeft`, `dirUpper`, `dirLower`):
// the mount direction 'N', 'S', 'E' or 'W' that moves the star toward that side of the guide
// image, or '-' before calibration.
class GuideDirections {
public:
    static constexpr char unset = '-';

    // Sets all four to '-'.
    static void clear(SettingsRecord& settings);
    // Gives `letter` to the side the vector (vx, vy) points at: right or left when |vx| > |vy|
    // (right for vx >= 0), else down or up (down for vy >= 0).
    static void assign(SettingsRecord& settings, double vx, double vy, char letter);
    // True only when the four letters are four different ones of N, S, E, W. The stored
    // defaults ('E' four times) are not complete, so guiding must calibrate first.
    static bool complete(const SettingsRecord& settings);
    // True when the image x axis is the Dec axis (`dirLeft` is 'N' or 'S'); else x is RA.
    static bool xIsDec(const SettingsRecord& settings);
    // The text of a direction label: "N", "S", "E", "W" or "-".
    static QString label(int letter);
};
