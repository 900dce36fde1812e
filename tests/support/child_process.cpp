#include "process_helpers.h"

#include <vector>

ChildProcess::ChildProcess(const std::string& exe, const std::string& arguments) {
  std::string commandLine = "\"" + exe + "\" " + arguments;
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info_)) {
    info_ = PROCESS_INFORMATION{};
  }
}

ChildProcess::~ChildProcess() {
  if (info_.hProcess != nullptr) {
    if (!WaitForExit(0)) {
      TerminateProcess(info_.hProcess, 99);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

bool ChildProcess::WaitForExit(DWORD ms) const {
  return WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

HWND WaitForWindowClass(const char* className, DWORD ms) {
  for (DWORD waited = 0; waited <= ms; waited += 50) {
    if (HWND found = FindWindowA(className, nullptr)) {
      return found;
    }
    Sleep(50);
  }
  return nullptr;
}

namespace {

struct VisibleSearch {
  DWORD processId;
  const char* title;
  HWND except;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM search) {
  auto* wanted = reinterpret_cast<VisibleSearch*>(search);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  char title[128] = "";
  GetWindowTextA(window, title, sizeof title);
  if (processId == wanted->processId && window != wanted->except && IsWindowVisible(window) &&
      (wanted->title == nullptr || std::string(title) == wanted->title)) {
    wanted->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND WaitForVisibleWindow(DWORD processId, const char* title, HWND except, DWORD ms) {
  for (DWORD waited = 0; waited <= ms; waited += 50) {
    VisibleSearch search{processId, title, except, nullptr};
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) {
      return search.found;
    }
    Sleep(50);
  }
  return nullptr;
}
