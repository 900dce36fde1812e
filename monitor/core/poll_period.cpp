#include "core/poll_period.h"

#include <algorithm>

uint32_t PollPeriodMs(int32_t pollSeconds) {
  if (pollSeconds < 0) return kTimerMaximumMs;
  const int64_t ms = static_cast<int64_t>(pollSeconds) * 1000;
  return static_cast<uint32_t>(std::clamp<int64_t>(ms, kTimerMinimumMs, kTimerMaximumMs));
}
