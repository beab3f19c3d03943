#pragma once

// How a ▲/▼ pair moves a value by one press.
namespace ValueStep {

// Past one end the value comes round to the other (minutes 59 ▲ is 0).
int wrapped(int value, int step, int min, int max);

// The value stops at the ends. A press never moves it against its arrow, so a value the
// settings file let in below the dialog's range (gamma 0) only leaves it upwards.
int bounded(int value, int step, int min, int max);

} // namespace ValueStep
