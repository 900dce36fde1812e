// The time the frame's notice rules are fed with, in seconds of the calendar
// clock (the snooze "until tomorrow" ends at a time of day).
#pragma once

#include <cstdint>

// notice_clock.cpp, alone in its object file: a test program that defines
// its own NoticeClockNow() is linked with that one instead, so the shipped
// program has no way to change its time.
std::int64_t NoticeClockNow();
