// timer_count_hook.dll: a message hook that bench_monitor.exe sets on the
// monitor's thread. It counts the messages the thread takes from its queue,
// and the timer messages among them, in memory that the benchmark shares
// under kCountsName.
#include <windows.h>

#include "timer_counts.h"

namespace {

MessageCounts* counts = nullptr;

MessageCounts* Counts() {
  if (counts == nullptr) {
    if (HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, kCountsName)) {
      counts = static_cast<MessageCounts*>(
          MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(MessageCounts)));
    }
  }
  return counts;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK CountMessages(int code, WPARAM wParam,
                                                                 LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    if (MessageCounts* shared = Counts()) {
      InterlockedIncrement(&shared->messages);
      if (reinterpret_cast<const MSG*>(lParam)->message == WM_TIMER) {
        InterlockedIncrement(&shared->timers);
      }
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
