#include "ui/tray_hook.h"

#include "ui/tray_notify_icon.h"

namespace {
UINT taskbarCreated = 0;
}

void RegisterTaskbarCreatedMessage() {
  if (taskbarCreated == 0) {
    taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  }
}

UINT TaskbarCreatedMessage() { return taskbarCreated; }

CTrayHook::~CTrayHook() { StopAnimation(); }

bool CTrayHook::StartAnimation(const HICON* icons, int count, UINT timerEventId, UINT intervalMs) {
  StopAnimation();
  if (icons == nullptr || count <= 0) {
    return false;
  }
  frames.reset(new HICON[static_cast<size_t>(count)]);
  for (int i = 0; i < count; ++i) {
    frames[static_cast<size_t>(i)] = icons[i];
  }
  frameCount = static_cast<UINT>(count);
  frameIndex = 0;
  // Without a window SetTimer would make a thread timer with an id of its
  // own choosing, which the hook would never see.
  if (HookedWindow() == nullptr) {
    return false;
  }
  timerWindow = HookedWindow();
  timerId = SetTimer(timerWindow, timerEventId, intervalMs, nullptr);
  return timerId != 0;
}

void CTrayHook::StopAnimation() {
  if (timerId != 0 && IsWindow(timerWindow)) {
    KillTimer(timerWindow, timerId);
  }
  timerId = 0;
  timerWindow = nullptr;
  frames.reset();
  frameIndex = 0;
  frameCount = 0;
}

bool CTrayHook::AdvanceFrame(HICON* icon) {
  // A stray tick after the animation stopped has nothing to show.
  if (frameCount == 0) {
    return false;
  }
  frameIndex = (frameIndex + 1) % frameCount;
  *icon = frames[frameIndex];
  return true;
}

LRESULT CTrayHook::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  if (owner != nullptr) {
    UINT taskbarMessage = TaskbarCreatedMessage();
    if (taskbarMessage != 0 && message == taskbarMessage) {
      owner->OnTaskbarCreated();
      return 0;
    }
    if (message == WM_TIMER && wParam == owner->IconId()) {
      owner->NextFrame();
      return 0;
    }
  }
  return PassOnCurrent();
}
