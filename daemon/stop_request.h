// The outside request to stop the daemon, per platform.
#pragma once

#include <functional>

// The outside request to stop: SIGTERM or SIGINT on POSIX; Ctrl+C,
// Ctrl+Break, a closed console, logoff or shutdown on Windows. Written once
// per platform (stop_request_posix.cpp, stop_request_win.cpp).

// From now on such a request calls `onStop`, on a thread of its own, instead
// of ending the process. Call it before any other thread starts: on POSIX the
// signals are blocked in the calling thread, so every later thread inherits
// the mask and one waiting thread takes them.
void watchForStopRequest(std::function<void()> onStop);

// Everything received is written. On Windows the console handler waits for
// this before it returns, since for a closed console the system ends the
// process as soon as the handler returns.
void stopRequestHandled();
