// Seeing the messages of somebody else's window before its own procedure
// does. Any number of hooks can be chained on one window: the newest sees a
// message first and passes it on to the next older one, the oldest to the
// procedure that was there before.
#pragma once

#include <windows.h>

class CHookWnd {
 public:
  CHookWnd() = default;
  // A hook still attached is detached, so its window never calls a destroyed
  // object.
  virtual ~CHookWnd();
  CHookWnd(const CHookWnd&) = delete;
  CHookWnd& operator=(const CHookWnd&) = delete;

  void Attach(HWND window);
  void Detach();
  HWND HookedWindow() const { return hookedWindow; }

  // Called for each message of the hooked window; the default passes it on.
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Hands a message to the next older hook, or from the oldest to the
  // window's previous procedure.
  LRESULT PassOn(UINT message, WPARAM wParam, LPARAM lParam);
  // PassOn with the message being dispatched on this thread.
  LRESULT PassOnCurrent();

  static LRESULT CALLBACK HookedWindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam);

  // The window property naming a window's newest hook.
  static constexpr const char* kHookProperty = "HookWnd_P";
  // The window's own procedure, kept when the last hook leaves while another
  // subclass sits above ours: our procedure then stays in the chain and only
  // passes messages on.
  static constexpr const char* kPassThroughProperty = "HookWnd_Pass";

 private:
  HWND hookedWindow = nullptr;
  WNDPROC previousProc = nullptr;  // the same in every hook of a chain
  CHookWnd* next = nullptr;        // the next older hook of the window
};
