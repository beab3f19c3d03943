#pragma once

// Puts the machine's own controller query in place (XInput on Windows, SDL 2 elsewhere),
// unless another is installed already. It stays until the process ends.
void installSystemGamepad();
