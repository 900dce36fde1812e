// The application object: start-up (taskbar wait, command line, one copy per
// watched path, the hidden main window), the About and Exit commands, and
// the end of the program.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "core/monitor_settings.h"
#include "framework/win_app.h"

class CMainFrame;

// Ends the process at once with the given exit status: the NetWare reading's
// end when it cannot set up its directory request (reading_source.cpp).
void EndProgramNow(int status);

// What start-up sees of the shell's taskbar: the program watches the real
// one, a test gives its own taskbar and clock.
class TaskbarWatch {
 public:
  virtual ~TaskbarWatch() = default;
  virtual bool TaskbarPresent() = 0;
  virtual void Wait(uint32_t ms) = 0;
};

class CBrimletApp : public fw::CWinApp {
 public:
  CBrimletApp();  // watches the real taskbar
  explicit CBrimletApp(TaskbarWatch& taskbar);
  ~CBrimletApp() override;

  bool InitInstance() override;
  int ExitInstance() override;
  bool OnCommand(UINT id) override;

 private:
  // The first step of start-up: five looks for the taskbar, ten seconds apart.
  bool WaitForTaskbar();
  // Parses the command line, or takes the defaults when it is refused.
  void ApplyCommandLine(const char* commandLine);
  // Brings a running copy for the same path forward; true when there is one.
  bool ActivateRunningCopy() const;
  bool RegisterWindowClass();
  void OnAppAbout();
  void OnAppExit();

  TaskbarWatch& taskbar;
  MonitorSettings settings;
  // The prefix from construction on; start-up appends the watched path.
  char windowClassName[kWindowClassNameSize] = "LaSuperAppsDeQZ";
  bool classRegistered = false;  // by this object, so that it is its to unregister
  bool aboutOpen = false;
  std::unique_ptr<CMainFrame> mainFrame;
};
