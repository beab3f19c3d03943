#include "LiveExposure.h"

#include <algorithm>
#include <iterator>

namespace LiveExposure {

namespace {

constexpr Fraction steps[] = {{1, 1000}, {1, 500}, {1, 250}, {1, 125}, {1, 60}, {1, 30}, {1, 16},
                              {1, 8},    {1, 4},   {1, 2},   {1, 1},   {2, 1},  {4, 1}};

} // namespace

Fraction fraction(int step) {
    return steps[std::clamp(step, 0, int(std::size(steps)) - 1)];
}

QString label(int step) {
    const Fraction f = fraction(step);
    return f.denominator == 1 ? QString::number(f.numerator)
                              : QString("%1/%2").arg(f.numerator).arg(f.denominator);
}

} // namespace LiveExposure
