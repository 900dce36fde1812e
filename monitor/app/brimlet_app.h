// The application object: start-up (taskbar wait, command line, one copy per
// watched path, the hidden main window), the About and Exit commands, and
// the end of the program.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "core/monitor_settings.h"
#include "framework/win_app.h"

class CMainFrame;

class CBrimletApp : public fw::CWinApp {
 public:
  CBrimletApp();
  ~CBrimletApp() override;

  bool InitInstance() override;
  int ExitInstance() override;
  bool OnCommand(UINT id) override;

  // The taskbar wait's view of the world; tests replace both.
  std::function<bool()> taskbarPresent;
  std::function<void(uint32_t ms)> sleep;

  bool WaitForTaskbar();
  // Parses the command line, or takes the defaults when it is refused.
  void ApplyCommandLine(const char* commandLine);
  // Brings a running copy for the same path forward; true when there is one.
  bool ActivateRunningCopy() const;
  bool RegisterWindowClass();

  bool AboutOpen() const { return aboutOpen; }

  static bool classRegistered;

 private:
  void OnAppAbout();
  void OnAppExit();

  MonitorSettings settings;
  // The prefix from construction on; start-up appends the watched path.
  char windowClassName[kWindowClassNameSize] = "LaSuperAppsDeQZ";
  bool aboutOpen = false;
  std::unique_ptr<CMainFrame> mainFrame;
};
