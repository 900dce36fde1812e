// The hidden main window and the heart of the monitor: it owns the poll
// timer, the tray icon, the details window and the alert socket, and at
// every tick reads the network and judges the space into one view, shows it
// in the details window, sets tooltip and icon from it, tells the log host
// when space runs short, and tells the user by the notice rules: at a rise,
// as a reminder, never during a snooze or while the shell asks for quiet.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "core/alert.h"
#include "core/details_view.h"
#include "core/held_alerts.h"
#include "core/level_tracker.h"
#include "core/monitor_settings.h"
#include "core/notice_rules.h"
#include "core/status_level.h"
#include "framework/async_socket.h"
#include "framework/frame_wnd.h"
#include "ui/tray_notify_icon.h"

// lParam: the fw::HostFound* of the alert host's lookup, which the frame takes.
constexpr UINT WM_ALERT_HOST_FOUND = WM_APP + 50;

class CLargestItemsDlg;
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

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool PreCreateWindow(CREATESTRUCTA& cs) override;
  int OnCreate(CREATESTRUCTA* cs) override;
  void OnDestroy() override;
  void OnTimer(UINT_PTR id) override;
  bool OnCommand(UINT id, UINT notifyCode) override;

 private:
  // poll_cycle.cpp: one poll, at start-up and at every tick of the poll timer.
  void Poll();
  // The details window, after a poll of its own.
  void ShowDetails();
  // main_frame_largest_items.cpp: the "what uses the space" window.
  void ShowLargestItems();
  DetailsView ReadView();
  struct LevelStep {
    LevelChange change;  // for the alert
    Notice notice;       // for the user
  };
  LevelStep FollowLevel(StatusLevel level);
  void UpdateTooltip(const DetailsView& view);
  void SendAlert(const DetailsView& view);
  void ShowLevelIcon(StatusLevel level);
  // main_frame_notification.cpp
  void TellUser(const DetailsView& view, const LevelStep& step);
  // main_frame_snooze.cpp: the tray menu's "Remind me later".
  bool OnSnoozeCommand(UINT id);
  void ShowSnoozeState(HMENU menu);
  // main_frame_alert.cpp
  void OpenAlertSocket();
  void LookUpAlertHost();
  void OnAlertHostFound(LPARAM lParam);

  const MonitorSettings& settings;
  const char* const windowClassName;

  CTrayNotifyIcon trayIcon;
  HICON icons[kIconCount] = {};
  std::unique_ptr<CQuotaDetailsDlg> details;
  // Made on first use; it shows shares of the directory limit of the last
  // reading (0: none).
  std::unique_ptr<CLargestItemsDlg> largestItems;
  std::uint64_t directoryLimitKb = 0;

  fw::CAsyncSocket socket;
  AlertState alert;
  // A log host given by name: its alerts wait for the lookup.
  bool alertHostIsName = false;
  HeldAlerts heldAlerts;

  LevelTracker levels;
  NoticeRules notices;
  // The exact figures of the last reading, which the notice rules judge.
  ExactFigures figures;
  // The tooltip the shell last accepted: an unchanged one is not sent again.
  std::string shownTooltip;
  // The snooze line of the menu as the resources give it, with its "%s", and
  // the command that ends a snooze.
  std::string snoozeLineTemplate;
  std::string resumeText;
  // The details window may open by itself when the level rises to danger;
  // the user switches it with the window's check box.
  bool autoShow;

  // Loaded once, in the user's language.
  const ViewWords words;
};
