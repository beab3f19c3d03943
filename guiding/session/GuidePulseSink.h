#pragma once

// Where the guide session's pulses go. The autoguider window passes them to the mount: the
// letter's axis and direction from GuideLaw::pulseTarget, then guidePulseRa/guidePulseDec with
// the amount, and shows "pulse %c %d". The session only ever passes 'N', 'S', 'E' or 'W' and
// a positive amount.
class GuidePulseSink {
public:
    virtual ~GuidePulseSink() = default;
    virtual void guidePulse(char letter, int amount) = 0;
};
