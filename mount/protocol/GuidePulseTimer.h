#pragma once

#include <cstdint>

// The 10 ms tick source that times guide pulses: arming a pulse zeroes that axis's tick count
// and stores the count at which the guide loop ends the pulse.
class GuidePulseTimer {
public:
    virtual ~GuidePulseTimer() = default;
    virtual void armRa(std::uint32_t targetTicks) = 0;
    virtual void armDec(std::uint32_t targetTicks) = 0;
};
