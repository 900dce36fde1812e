// The application object: start-up and exit steps around the message loop,
// and the last stop of command routing.
#pragma once

#include <windows.h>

namespace fw {

class CWnd;

class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();

  // Start-up; false ends the process without running the message loop.
  virtual bool InitInstance();
  // Runs once when the message loop has ended (or start-up failed); answers
  // the process exit code.
  virtual int ExitInstance();
  // Commands that no window handled; true when handled.
  virtual bool OnCommand(UINT id);

  // The message loop: every queued message is first offered to the window
  // it is for and to that window's parents (modeless dialogs take their
  // keyboard messages there), then translated and dispatched.
  int Run();
  // The filters of the message loop, for modal loops of the program's own:
  // offers `message` to the window it is for and to its parents; true when
  // one of them consumed it.
  bool PreTranslateMessage(MSG* message);

  HINSTANCE m_hInstance = nullptr;
  const char* m_lpCmdLine = "";
  CWnd* m_pMainWnd = nullptr;

 protected:
  int exitCode_ = 0;
};

// The one application object of the process.
CWinApp* App();

// Start-up, message loop and exit, as the program's entry point runs them.
int RunApplication(CWinApp& app, HINSTANCE instance, const char* commandLine);

// Diagnostic output; discarded by release builds.
void Trace(const char* text);

}  // namespace fw
