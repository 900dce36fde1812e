// The hidden main window: owner of the poll timer, and the window that the
// tray icon's messages and menu commands reach.
#pragma once

#include <windows.h>

#include "core/monitor_settings.h"
#include "framework/frame_wnd.h"

class CMainFrame : public fw::CFrameWnd {
 public:
  // The texts stay the application object's; the frame keeps references.
  CMainFrame(const MonitorSettings& settings, const char* windowClassName);

  static constexpr UINT_PTR kPollTimer = 1;

 protected:
  bool PreCreateWindow(CREATESTRUCTA& cs) override;
  int OnCreate(CREATESTRUCTA* cs) override;
  void OnDestroy() override;
  void OnTimer(UINT_PTR id) override;

 private:
  void Poll();

  int32_t pollSeconds;
  int32_t warnThreshold;
  int32_t dangerThreshold;
  int32_t alertPort;
  bool thresholdsInPercent;
  bool showDetailsAtStart;
  bool autoShow;
  const char* const watchedPath;
  const char* const alertHost;
  const char* const windowClassName;
};
