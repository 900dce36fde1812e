#include "core/taskbar_wait.h"

bool WaitForTaskbar(const std::function<bool()>& taskbarPresent,
                    const std::function<void(uint32_t ms)>& sleep, int maxWaits, uint32_t waitMs) {
  // A taskbar seen once is enough: the shell may be restarting, and the tray
  // icon is put back when it announces its new taskbar. Only when every wait
  // has been spent without one does one last look decide.
  for (int waits = 0; waits < maxWaits; ++waits) {
    if (taskbarPresent()) return true;
    sleep(waitMs);
  }
  return taskbarPresent();
}
