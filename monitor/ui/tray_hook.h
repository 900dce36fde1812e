// The tray icon's hook on the main frame. It takes the two messages that
// belong to the icon, the shell's "TaskbarCreated" broadcast and the blink
// timer, before the frame sees them: the frame runs a full poll for any timer
// it receives, so the blink must never reach it.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/hook_wnd.h"

class CTrayNotifyIcon;

// The number of the shell's "TaskbarCreated" broadcast. Registered once at
// program start, before any window exists; 0 until then.
void RegisterTaskbarCreatedMessage();
UINT TaskbarCreatedMessage();

class CTrayHook : public CHookWnd {
 public:
  CTrayHook() = default;
  // Stops any animation: a timer must not outlive the frames it shows.
  ~CTrayHook() override;

  void SetOwner(CTrayNotifyIcon* icon) { owner = icon; }

  // Keeps a copy of the `count` handles (the icons stay the caller's) and
  // starts timer `timerEventId` on the hooked window; the first frame shown
  // is icons[0]. False when nothing could be started.
  bool StartAnimation(const HICON* icons, int count, UINT timerEventId, UINT intervalMs);
  // Kills the timer if its window still lives, and forgets the frames.
  void StopAnimation();
  // Steps to the next frame; false when no frames are kept.
  bool AdvanceFrame(HICON* icon);

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  CTrayNotifyIcon* owner = nullptr;
  std::unique_ptr<HICON[]> frames;
  UINT frameCount = 0;
  UINT_PTR timerId = 0;  // as SetTimer answered it; 0 when no animation runs
  UINT frameIndex = 0;
  // The window the timer runs on; the hook may already be detached from it
  // (the frame was destroyed) when the animation is stopped.
  HWND timerWindow = nullptr;
};
