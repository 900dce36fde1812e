#include "ui/hook_wnd.h"

#include <mutex>

#include "framework/current_message.h"

namespace {

// Guards every change of a chain. Never held while a message is dispatched:
// a handler may attach or detach hooks itself.
std::mutex hookLock;

CHookWnd* NewestHook(HWND window) {
  return static_cast<CHookWnd*>(GetPropA(window, CHookWnd::kHookProperty));
}

}  // namespace

CHookWnd::~CHookWnd() {
  if (hookedWindow != nullptr) {
    Detach();
  }
}

void CHookWnd::Attach(HWND window) {
  if (window == nullptr || hookedWindow != nullptr) {
    return;
  }
  std::lock_guard<std::mutex> lock(hookLock);
  hookedWindow = window;
  next = NewestHook(window);
  SetPropA(window, kHookProperty, this);
  if (next != nullptr) {
    previousProc = next->previousProc;
  } else if (HANDLE passThrough = RemovePropA(window, kPassThroughProperty)) {
    // Our procedure never left the chain: take up the kept one again.
    previousProc = reinterpret_cast<WNDPROC>(passThrough);
  } else {
    previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HookedWindowProc)));
  }
}

void CHookWnd::Detach() {
  std::lock_guard<std::mutex> lock(hookLock);
  if (hookedWindow == nullptr) {
    return;
  }
  CHookWnd* newest = NewestHook(hookedWindow);
  if (newest == this) {
    if (next != nullptr) {
      SetPropA(hookedWindow, kHookProperty, next);
    } else {
      RemovePropA(hookedWindow, kHookProperty);
      // Restoring the old procedure while someone subclassed the window after
      // us would cut that subclass out: then stay as a pass-through.
      const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hookedWindow, GWLP_WNDPROC));
      if (current == HookedWindowProc) {
        SetWindowLongPtrA(hookedWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc));
      } else {
        SetPropA(hookedWindow, kPassThroughProperty, reinterpret_cast<HANDLE>(previousProc));
      }
    }
  } else {
    CHookWnd* newer = newest;
    while (newer != nullptr && newer->next != this) {
      newer = newer->next;
    }
    if (newer != nullptr) {
      newer->next = next;
    }
  }
  hookedWindow = nullptr;
  previousProc = nullptr;
  next = nullptr;
}

LRESULT CHookWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return PassOn(message, wParam, lParam);
}

LRESULT CHookWnd::PassOn(UINT message, WPARAM wParam, LPARAM lParam) {
  if (next != nullptr) {
    return next->OnMessage(message, wParam, lParam);
  }
  return CallWindowProcA(previousProc, hookedWindow, message, wParam, lParam);
}

LRESULT CHookWnd::PassOnCurrent() {
  const MSG& current = fw::CurrentMessage();
  return PassOn(current.message, current.wParam, current.lParam);
}

LRESULT CALLBACK CHookWnd::HookedWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  fw::CurrentMessageScope scope(window, message, wParam, lParam);
  CHookWnd* newest = NewestHook(window);
  if (newest == nullptr) {
    const auto passThrough = reinterpret_cast<WNDPROC>(GetPropA(window, kPassThroughProperty));
    if (passThrough == nullptr) {
      return DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
      RemovePropA(window, kPassThroughProperty);
    }
    return CallWindowProcA(passThrough, window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    // The window's last message: give it back its own procedure before that
    // procedure sees the message, so no hook outlives its window.
    WNDPROC ownProc = newest->previousProc;
    while (CHookWnd* hook = NewestHook(window)) {
      hook->Detach();
    }
    return CallWindowProcA(ownProc, window, message, wParam, lParam);
  }
  return newest->OnMessage(message, wParam, lParam);
}
