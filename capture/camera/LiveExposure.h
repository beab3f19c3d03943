#pragma once

#include <QString>

// The live exposure steps (`lexposure`) as the user knows them: fractions of a second from
// 1/1000 for step 0 to 4 for step 12. Live view and every flat series run at them.
namespace LiveExposure {

struct Fraction {
    int numerator, denominator;
};

// Steps past either end of the table read as its first or last step.
Fraction fraction(int step);
// "1/60", "1", "4": the step as its label reads.
QString label(int step);

} // namespace LiveExposure
