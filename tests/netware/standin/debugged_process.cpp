#include "debugged_process.h"

#include <vector>

DebuggedProcess::DebuggedProcess(const std::string& exe, const std::string& arguments) {
  std::string commandLine = "\"" + exe + "\" " + arguments;
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS,
                      nullptr, nullptr, &startup, &info_)) {
    info_ = PROCESS_INFORMATION{};
  }
}

DebuggedProcess::~DebuggedProcess() {
  if (info_.hProcess == nullptr) return;
  if (!ended_) {
    TerminateProcess(info_.hProcess, 99);
    // The end arrives as a debug event; serve events until it does.
    DWORD start = GetTickCount();
    while (!ended_ && GetTickCount() - start < 5000) ServeOneEvent(100);
  }
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
}

bool DebuggedProcess::RunUntil(const std::function<bool()>& done, DWORD ms) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    if (done()) return true;
    if (ended_) return done();
    ServeOneEvent(20);
  }
  return done();
}

void DebuggedProcess::ServeOneEvent(DWORD ms) {
  DEBUG_EVENT event{};
  if (!WaitForDebugEvent(&event, ms)) return;
  DWORD continueStatus = DBG_CONTINUE;
  switch (event.dwDebugEventCode) {
    case CREATE_PROCESS_DEBUG_EVENT:
      if (event.u.CreateProcessInfo.hFile != nullptr) CloseHandle(event.u.CreateProcessInfo.hFile);
      break;
    case LOAD_DLL_DEBUG_EVENT:
      if (event.u.LoadDll.hFile != nullptr) CloseHandle(event.u.LoadDll.hFile);
      break;
    case EXCEPTION_DEBUG_EVENT:
      // The loader's breakpoint is ours to pass; anything else is the program's.
      if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
        continueStatus = DBG_EXCEPTION_NOT_HANDLED;
      }
      break;
    case OUTPUT_DEBUG_STRING_EVENT: {
      const OUTPUT_DEBUG_STRING_INFO& info = event.u.DebugString;
      if (info.fUnicode == 0 && info.nDebugStringLength > 0) {
        std::string text(info.nDebugStringLength, '\0');
        SIZE_T read = 0;
        if (ReadProcessMemory(info_.hProcess, info.lpDebugStringData, &text[0], text.size(),
                              &read)) {
          text.resize(read);
          if (!text.empty() && text.back() == '\0') text.pop_back();
          debugText_ += text;
        }
      }
      break;
    }
    case EXIT_PROCESS_DEBUG_EVENT:
      ended_ = true;
      break;
    default:
      break;
  }
  ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
}
