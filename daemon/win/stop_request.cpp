#include <windows.h>

#include "process/stop_request.h"

namespace {

// The console handler runs on a thread that the system starts for each event.
std::function<void(std::chrono::milliseconds)>* stopCallback = nullptr;
HANDLE handled = nullptr;
// The callback runs for the first event only: a later one may come while the
// process is already ending and the daemon is gone.
LONG stopAsked = 0;
// A service sees every user's logoff as a console event; its stop comes
// from the service manager instead.
bool sessionEndsIgnored = false;

// The process ends as soon as the handler returns. A Ctrl+C waits as long
// as writing the queue takes, within this bound.
constexpr DWORD kLongestDrainMilliseconds = 60000;
// For a closed console, a logoff or a shutdown the system ends the process
// about five seconds after the event anyway: the handler waits a little less,
// and the stop gives another writer's lock less than that (kEndingLockPatience),
// so that it has written or counted every entry by then.
constexpr DWORD kEndingDrainMilliseconds = 4500;

BOOL WINAPI onConsoleEvent(DWORD event) {
  if (sessionEndsIgnored && (event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)) {
    return TRUE;
  }
  bool ending = false;
  switch (event) {
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      ending = true;
      [[fallthrough]];
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      if (InterlockedExchange(&stopAsked, 1) == 0) {
        (*stopCallback)(ending ? kEndingLockPatience : kStopLockPatience);
      }
      WaitForSingleObject(handled, ending ? kEndingDrainMilliseconds : kLongestDrainMilliseconds);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void watchForStopRequest(std::function<void(std::chrono::milliseconds lockPatience)> onStop) {
  stopCallback = new std::function<void(std::chrono::milliseconds)>(
      std::move(onStop));  // lives as long as the process
  handled = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void stopRequestHandled() {
  if (handled != nullptr) SetEvent(handled);
}

void requestStopAsService(std::chrono::milliseconds lockPatience) {
  if (stopCallback != nullptr && InterlockedExchange(&stopAsked, 1) == 0) {
    (*stopCallback)(lockPatience);
  }
}

void ignoreSessionEnds() { sessionEndsIgnored = true; }
