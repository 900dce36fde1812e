#include <windows.h>

#include "stop_request.h"

namespace {

// The console handler runs on a thread that the system starts for each event.
std::function<void()>* stopCallback = nullptr;
HANDLE handled = nullptr;
// The callback runs for the first event only: a later one may come while the
// process is already ending and the daemon is gone.
LONG stopAsked = 0;

// The system gives a closed console about five seconds before it ends the
// process anyway; a Ctrl+C waits as long as writing the queue takes, within
// this bound.
constexpr DWORD kLongestDrainMilliseconds = 60000;

BOOL WINAPI onConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      if (InterlockedExchange(&stopAsked, 1) == 0) (*stopCallback)();
      WaitForSingleObject(handled, kLongestDrainMilliseconds);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void watchForStopRequest(std::function<void()> onStop) {
  stopCallback = new std::function<void()>(std::move(onStop));  // lives as long as the process
  handled = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void stopRequestHandled() {
  if (handled != nullptr) SetEvent(handled);
}
