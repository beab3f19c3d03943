#pragma once

// Worker threads hand results over through flags that the main loop reads on its next pass,
// and a pass waits for an event or the loop's tick. A worker whose result should not wait for
// the tick (a live frame, a written file) ends that wait at once with this. Safe from any
// thread; does nothing before the application exists.
void wakeMainLoop();
