#include <windows.h>

#include "thread_priority.h"

void giveWayToOtherThreads() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}
