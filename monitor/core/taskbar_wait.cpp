#include "core/taskbar_wait.h"

bool WaitForTaskbar(const std::function<bool()>& taskbarPresent,
                    const std::function<void(uint32_t ms)>& sleep, int maxWaits,
                    uint32_t waitMs) {
  int attempt = 1;
  while (!taskbarPresent() && attempt <= maxWaits) {
    ++attempt;
    sleep(waitMs);
  }
  return taskbarPresent();
}
