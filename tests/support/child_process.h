// Starting a program under test, as a process of its own, from a test.
#pragma once

#include <windows.h>

#include <string>

// A started process; terminated on destruction if still running.
class ChildProcess {
 public:
  ChildProcess(const std::string& exe, const std::string& arguments);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return info_.hProcess != nullptr; }
  // Waits at most `ms`; true when the process has ended.
  bool WaitForExit(DWORD ms) const;
  DWORD ExitCode() const;
  DWORD ProcessId() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
};
