#pragma once

#include <functional>

// The system asking a program with a window to end: on Linux the signals a session or a
// parent sends (SIGTERM, SIGHUP, SIGINT); on Windows the same arrives as the window's close
// event, so nothing is watched there. `onRequest` runs on the event loop, where a program can
// save and leave as its own "Quit" does.
namespace EndRequest {

void watch(std::function<void()> onRequest);

} // namespace EndRequest
