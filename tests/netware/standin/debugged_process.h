// A program started under this process as its debugger, so that a test reads
// what the program writes to the debugger output (OutputDebugStringA).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class DebuggedProcess {
 public:
  DebuggedProcess(const std::string& exe, const std::string& arguments);
  ~DebuggedProcess();
  DebuggedProcess(const DebuggedProcess&) = delete;
  DebuggedProcess& operator=(const DebuggedProcess&) = delete;

  bool Started() const { return info_.hProcess != nullptr; }
  DWORD ProcessId() const { return info_.dwProcessId; }
  // Serves the program's debug events for at most `ms`, until done() holds
  // (asked between events) or the program ends. True when done() held.
  bool RunUntil(const std::function<bool()>& done, DWORD ms);
  // Everything the program wrote to the debugger output so far.
  const std::string& DebugText() const { return debugText_; }
  bool Ended() const { return ended_; }

 private:
  // Handles one event if one comes within `ms`.
  void ServeOneEvent(DWORD ms);

  PROCESS_INFORMATION info_{};
  std::string debugText_;
  bool ended_ = false;
};
