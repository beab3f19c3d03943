#pragma once

#include "StarCatalog.h"

#include <QString>

// The bright stars offered for a quick choice, in the order of their buttons.
class FirstMagnitudeStars {
public:
    static int count();
    static QString buttonText(int row);
    // Degrees; rows outside the table give (0, 0).
    static SkyPosition position(int row);
};
