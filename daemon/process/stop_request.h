// The outside request to stop the daemon, per platform.
#pragma once

#include <chrono>
#include <functional>

// The outside request to stop: SIGTERM, SIGINT, SIGHUP or SIGQUIT on POSIX
// (a hand start whose terminal closes gets SIGHUP, Ctrl+\ SIGQUIT: each
// writes the queue like a service manager's stop); Ctrl+C, Ctrl+Break, a
// closed console, logoff or shutdown on Windows. Written once per platform
// (posix/stop_request.cpp, win/stop_request.cpp).

// How long a stop may wait for another writer's lock on the log, unless the
// request itself leaves less time.
inline constexpr std::chrono::milliseconds kStopLockPatience{5000};
// The same for a stop that the system follows with the process's end a few
// seconds later: a closed console, a logoff, a shutdown.
inline constexpr std::chrono::milliseconds kEndingLockPatience{2500};

// From now on such a request calls `onStop`, on a thread of its own, instead
// of ending the process; it tells how long the stop may still wait for the
// log's lock before it counts the unwritten entries instead. Call it before any other thread
// starts: on POSIX the signals are blocked in the calling thread, so every later thread inherits
// the mask and one waiting thread takes them.
void watchForStopRequest(std::function<void(std::chrono::milliseconds lockPatience)> onStop);

// Windows only: the service manager's stop, shutdown or pre-shutdown,
// which takes the same path as a console's Ctrl+C (win/service.cpp). From
// then on the console's session events (a user's logoff, which a service
// also sees) no longer stop the daemon.
void requestStopAsService(std::chrono::milliseconds lockPatience);

// Windows only: the process runs as a service, whose stop comes from the
// service manager alone; a user's logoff must not end it.
void ignoreSessionEnds();

// Everything received is written. On Windows the console handler waits for
// this before it returns, since for a closed console the system ends the
// process as soon as the handler returns.
void stopRequestHandled();
