// The hidden main window and the heart of the monitor: it owns the poll
// timer, the tray icon, the details window and the alert socket, and at
// every tick reads the network, judges the space, fills the details window,
// sets tooltip and icon, and tells the log host when space runs short.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/alert.h"
#include "core/level_tracker.h"
#include "core/monitor_settings.h"
#include "core/status_level.h"
#include "framework/async_socket.h"
#include "framework/frame_wnd.h"
#include "netware/quota_types.h"
#include "ui/tray_notify_icon.h"

class CQuotaDetailsDlg;

class CMainFrame : public fw::CFrameWnd {
 public:
  // `settings` and `windowClassName` stay the application object's; the
  // frame keeps references to them.
  CMainFrame(const MonitorSettings& settings, const char* windowClassName);
  ~CMainFrame() override;

  static constexpr UINT_PTR kPollTimer = 1;
  static constexpr UINT kTrayIconId = 129;
  static constexpr UINT kBlinkIntervalMs = 1300;

  // Places of the six tray icon handles. Each blink is a pair of neighbours
  // starting with the plain drive, which is therefore loaded twice.
  enum TrayIcon : int {
    kIconOk,             // 135, shown still
    kIconWarningFirst,   // 137, the plain drive
    kIconWarningSecond,  // 136
    kIconDangerFirst,    // 137, the plain drive
    kIconDangerSecond,   // 138
    kIconUnknown,        // 139, shown still, and the icon the tray entry starts with
    kIconCount
  };
  static constexpr int kBlinkFrames = 2;

  void Poll();
  void ShowDetails();

  // What the last poll found, for the tests of the cycle.
  StatusLevel Level() const { return level; }
  int32_t PercentUsed() const { return percentUsed; }
  const std::string& TooltipText() const { return tooltipText; }
  CQuotaDetailsDlg& Details() { return *details; }
  bool AlertConnected() const { return alert.IsConnected(); }
  HICON LevelIcon(TrayIcon index) const { return icons[index]; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool PreCreateWindow(CREATESTRUCTA& cs) override;
  int OnCreate(CREATESTRUCTA* cs) override;
  void OnDestroy() override;
  void OnTimer(UINT_PTR id) override;
  bool OnCommand(UINT id, UINT notifyCode) override;

 private:
  void EvaluateReading();
  void FillDetails();
  void ShowBalance();
  void UpdateTooltip();
  void SendAlert();
  void OpenAlertSocket();
  void ShowLevelIcon();
  void ShowDetailsWindow();
  void NotifyLevelRise();  // main_frame_notification.cpp

  const MonitorSettings& settings;
  const char* const windowClassName;

  CTrayNotifyIcon trayIcon;
  HICON icons[kIconCount] = {};
  std::unique_ptr<CQuotaDetailsDlg> details;

  fw::CAsyncSocket socket;
  AlertState alert;

  QuotaReading reading;
  AccountBalance balance;
  bool balanceRead = false;  // false: the reading source has no balance
  LevelTracker levels;
  bool notificationDue = false;  // this poll's level rose (level_notification.h)
  StatusLevel level = LevelUnknown;
  int32_t percentUsed = 0;
  int32_t freeMb = 0;
  std::string freeText;
  std::string maxText;
  std::string tooltipText;

  std::string usedLabel;
  std::string onWord;
  std::string freeWord;
};
