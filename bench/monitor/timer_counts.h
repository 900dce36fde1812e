// What timer_count_hook.dll counts for bench_monitor.exe.
#pragma once

#include <windows.h>

constexpr char kCountsName[] = "BrimletBenchMessageCounts";

struct MessageCounts {
  volatile LONG messages;  // every message the thread took from its queue
  volatile LONG timers;    // WM_TIMER among them
};
