// A hidden frame standing in for the main frame: it passes the tray's
// callback message on as the main frame does, and counts what reaches its
// own handlers.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/frame_wnd.h"
#include "ui/hook_wnd.h"
#include "ui/tray_notify_icon.h"

class TrayTestFrame : public fw::CFrameWnd {
 public:
  CTrayNotifyIcon* tray = nullptr;
  std::vector<UINT_PTR> timers;
  std::vector<UINT> commands;
  int taskbarCreatedSeen = 0;
  int emptyMessages = 0;
  std::vector<HMENU> popups;  // menus opened with this frame as owner
  bool closeMenuWhenIdle = false;
  // What the frame's own procedure finds at its last message: a hook still
  // attached would name itself in the window's property and keep its
  // procedure in front.
  bool ncDestroyed = false;
  HANDLE hookAtNcDestroy = nullptr;
  bool hookProcAtNcDestroy = false;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_TRAYNOTIFY && tray != nullptr) {
      return tray->HandleNotification(wParam, lParam);
    }
    if (message != 0 && message == TaskbarCreatedMessage()) {
      ++taskbarCreatedSeen;
    }
    if (message == WM_NULL) {
      ++emptyMessages;
    }
    if (message == WM_INITMENUPOPUP) {
      popups.push_back(reinterpret_cast<HMENU>(wParam));
    }
    if (message == WM_ENTERIDLE && closeMenuWhenIdle) {
      EndMenu();
    }
    if (message == WM_NCDESTROY) {
      ncDestroyed = true;
      hookAtNcDestroy = GetPropA(m_hWnd, CHookWnd::kHookProperty);
      hookProcAtNcDestroy = GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) ==
                            reinterpret_cast<LONG_PTR>(&CHookWnd::HookedWindowProc);
    }
    return fw::CFrameWnd::WindowProc(message, wParam, lParam);
  }
  void OnTimer(UINT_PTR id) override { timers.push_back(id); }
  bool OnCommand(UINT id, UINT) override {
    commands.push_back(id);
    return true;
  }
};
