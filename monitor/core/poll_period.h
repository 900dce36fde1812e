// The poll interval of the command line as the period of the poll timer.
#pragma once

#include <cstdint>

// The shortest and longest periods the Windows timer accepts (its
// USER_TIMER_MINIMUM and USER_TIMER_MAXIMUM); it moves any other into this
// range itself.
constexpr uint32_t kTimerMinimumMs = 0x0000000A;
constexpr uint32_t kTimerMaximumMs = 0x7FFFFFFF;

// `pollSeconds` x 1000 ms, kept inside the timer's range as the timer itself
// would keep it. The command line has no range check, so the product is taken
// without overflow: 0 gives the shortest period; a negative interval, which as
// an unsigned period would be huge, and one beyond the range give the longest.
uint32_t PollPeriodMs(int32_t pollSeconds);
