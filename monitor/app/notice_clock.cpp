#include "app/notice_clock.h"

#include <ctime>

std::int64_t NoticeClockNow() { return static_cast<std::int64_t>(std::time(nullptr)); }
