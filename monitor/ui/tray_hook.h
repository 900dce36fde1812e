// The tray icon's hook on the main frame. It takes the two messages that
// belong to the icon, the shell's "TaskbarCreated" broadcast and the blink
// timer, before the frame sees them: the frame runs a full poll for any timer
// it receives, so the blink must never reach it. The hook runs the timer;
// what each tick shows is its listener's (the icon's) business.
#pragma once

#include <windows.h>

#include "ui/hook_wnd.h"

// The number of the shell's "TaskbarCreated" broadcast. Registered once at
// program start, before any window exists; 0 until then.
void RegisterTaskbarCreatedMessage();
UINT TaskbarCreatedMessage();

class CTrayHook : public CHookWnd {
 public:
  // Who is told of the two messages the hook takes.
  class Listener {
   public:
    virtual void OnTaskbarCreated() = 0;
    virtual void NextFrame() = 0;  // a tick of the blink timer

   protected:
    ~Listener() = default;
  };

  explicit CTrayHook(Listener* listener) : listener(listener) {}
  // Stops the timer: it must not outlive its listener.
  ~CTrayHook() override;

  // The event id of the blink timer: every WM_TIMER of this id is taken off
  // the frame, also a stray one after the blink stopped.
  void SetTimerEventId(UINT eventId) { timerEventId = eventId; }
  // Starts the blink timer on the hooked window; false without a hooked
  // window or when the system refuses the timer.
  bool StartTimer(UINT intervalMs);
  // Kills the timer if its window still lives.
  void StopTimer();

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  Listener* listener;
  UINT timerEventId = 0;
  UINT_PTR timerId = 0;  // as SetTimer answered it; 0 when no timer runs
  // The window the timer runs on; the hook may already be detached from it
  // (the frame was destroyed) when the timer is stopped.
  HWND timerWindow = nullptr;
};
