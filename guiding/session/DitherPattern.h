#pragma once

// The outward spiral of dither moves: runs of 1, 1, 2, 2, ... 6, 6 letters and a last run of 7.
// The place in it is process-wide, so each dither moves on from where the last one left off,
// also across openings of the autoguider.
class DitherPattern {
public:
    static constexpr int length = 49;
    static const char ditherPattern[length + 1];

    // The letter of the next dither.
    static char currentLetter() { return ditherPattern[ditherPatternIndex]; }
    // Moves on to the next letter, back to the first after the last.
    static void advance() { ditherPatternIndex = (ditherPatternIndex + 1) % length; }

    static int ditherPatternIndex;
};
