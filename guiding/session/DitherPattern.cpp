#include "DitherPattern.h"

const char DitherPattern::ditherPattern[DitherPattern::length + 1] =
    "SWNNEESSSWWWNNNNEEEESSSSSWWWWWNNNNNNEEEEEESSSSSSS";

int DitherPattern::ditherPatternIndex = 0;
