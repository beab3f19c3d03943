#pragma once

// The arithmetic of guide corrections: the sensitivity ladder, the per-axis correction law,
// the pulse scale, the calibration pulse amount, and which mount axis and direction a
// direction letter drives. Pure functions; the guide session puts them together.
class GuideLaw {
public:
    // The ladder of the sensitivity buttons and of Auto mode: 0..9 by 1, 10, 15, 20, then by
    // 10 up to 390, which does not step up.
    static int sensitivityStepUp(int value);
    // 20 -> 15 -> 10, 10..1 by 1, 0 stays 0, anything else down by 10.
    static int sensitivityStepDown(int value);

    // One axis's correction for the corrected offset `c` (pixels from the box centre).
    // `sensitivity` is the setting (10 acts as a factor of 1.0; pass 0 for an axis that is
    // off), `threshold` the dead band in tenths of a pixel. `amount` is 0 when nothing is to be
    // sent, else positive; `positive` (star right of or below the centre) asks for the letter
    // that moves the star left (`dirLeft`) or up (`dirUpper`), else right or down.
    struct Correction {
        double u = 0;         // the clamped drive, -800..800
        int amount = 0;       // before the pulse scale, a multiple of 10
        bool positive = true; // u >= 0: send the left (x) or upper (y) letter
    };
    static Correction correction(double c, int sensitivity, int threshold);

    // The pulse scale of the `gpower` index 0..8: 0.01, 0.03, 0.1, 0.3, 1, 3, 10, 30, 100.
    static double pulseScale(int gpower);
    // The guide pulse amount of a correction amount: trunc(scale x amount).
    static int guidePulseAmount(int correctionAmount, int gpower);

    // The calibration (and dither) pulse amount for the base `calStep` and factor 0.5, 1 or 2:
    // calStep x factor x 0.4, truncated.
    static int calibrationPulseAmount(int calStep, double factor);

    // The mount axis (0 RA, 1 Dec) and direction a letter drives: 'W' RA 0, 'E' RA 1, 'N' Dec 0,
    // 'S' Dec 1. False for any other letter, which sends nothing.
    static bool pulseTarget(char letter, int* axis, int* dir);
};
