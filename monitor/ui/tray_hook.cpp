#include "ui/tray_hook.h"

namespace {
UINT taskbarCreated = 0;
}

void RegisterTaskbarCreatedMessage() {
  if (taskbarCreated == 0) {
    taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  }
}

UINT TaskbarCreatedMessage() { return taskbarCreated; }

CTrayHook::~CTrayHook() { StopTimer(); }

bool CTrayHook::StartTimer(UINT intervalMs) {
  StopTimer();
  // Without a window SetTimer would make a thread timer with an id of its
  // own choosing, which the hook would never see.
  if (HookedWindow() == nullptr) {
    return false;
  }
  timerWindow = HookedWindow();
  timerId = SetTimer(timerWindow, timerEventId, intervalMs, nullptr);
  return timerId != 0;
}

void CTrayHook::StopTimer() {
  if (timerId != 0 && IsWindow(timerWindow)) {
    KillTimer(timerWindow, timerId);
  }
  timerId = 0;
  timerWindow = nullptr;
}

LRESULT CTrayHook::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  UINT taskbarMessage = TaskbarCreatedMessage();
  if (taskbarMessage != 0 && message == taskbarMessage) {
    listener->OnTaskbarCreated();
    return 0;
  }
  if (message == WM_TIMER && wParam == timerEventId) {
    listener->NextFrame();
    return 0;
  }
  return PassOnCurrent();
}
