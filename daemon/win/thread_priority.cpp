#include <windows.h>

#include "process/thread_priority.h"

void giveWayToOtherThreads() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}
