// Starting and watching the real monitor program from a test.
#pragma once

#include <windows.h>

#include <string>

#include "windows_path.h"

// A started process; terminated on destruction if still running.
class ChildProcess {
 public:
  ChildProcess(const std::string& exe, const std::string& arguments);
  ~ChildProcess();
  bool Started() const { return info_.hProcess != nullptr; }
  // Waits at most `ms`; true when the process has ended.
  bool WaitForExit(DWORD ms) const;
  DWORD ExitCode() const;
  DWORD ProcessId() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
};

// Polls (bounded) until a top-level window of `className` exists.
HWND WaitForWindowClass(const char* className, DWORD ms);
// Polls (bounded) until process `processId` has a visible top-level window
// other than `except` whose title is `title` (any title when nullptr).
HWND WaitForVisibleWindow(DWORD processId, const char* title, HWND except, DWORD ms);
