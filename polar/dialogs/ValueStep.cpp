#include "ValueStep.h"

#include <QtGlobal>

namespace ValueStep {

int wrapped(int value, int step, int min, int max) {
    const int span = max - min + 1;
    return ((value - min + step) % span + span) % span + min;
}

int bounded(int value, int step, int min, int max) {
    const int next = qBound(min, value + step, max);
    return (next - value) * step > 0 ? next : value;
}

} // namespace ValueStep
