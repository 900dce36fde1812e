#include "window_search.h"

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TitleOf(HWND window) {
  char title[256] = "";
  GetWindowTextA(window, title, sizeof title);
  return title;
}

DWORD ProcessOf(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process;
}

namespace {

struct Search {
  const WindowRule* wanted;
  bool firstOnly;
  std::vector<HWND> found;
};

BOOL CALLBACK Visit(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  if ((*search->wanted)(window)) {
    search->found.push_back(window);
    return search->firstOnly ? FALSE : TRUE;
  }
  return TRUE;
}

std::vector<HWND> Enumerate(const WindowRule& wanted, bool firstOnly, bool thisThread) {
  Search search{&wanted, firstOnly, {}};
  if (thisThread) {
    EnumThreadWindows(GetCurrentThreadId(), Visit, reinterpret_cast<LPARAM>(&search));
  } else {
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
  }
  return search.found;
}

HWND First(const std::vector<HWND>& found) { return found.empty() ? nullptr : found.front(); }

}  // namespace

std::vector<HWND> FindWindows(const WindowRule& wanted) { return Enumerate(wanted, false, false); }

HWND FindWindowWhere(const WindowRule& wanted) { return First(Enumerate(wanted, true, false)); }

std::vector<HWND> FindThreadWindows(const WindowRule& wanted) {
  return Enumerate(wanted, false, true);
}

HWND FindThreadWindowWhere(const WindowRule& wanted) {
  return First(Enumerate(wanted, true, true));
}

namespace {

// Asks `find` every `stepMs` for at most `ms` until it answers a window.
template <typename Find>
HWND PollFor(Find find, DWORD ms, DWORD stepMs) {
  for (DWORD waited = 0; waited <= ms; waited += stepMs) {
    if (HWND found = find()) {
      return found;
    }
    Sleep(stepMs);
  }
  return nullptr;
}

}  // namespace

HWND WaitForWindowWhere(const WindowRule& wanted, DWORD ms, DWORD stepMs) {
  return PollFor([&wanted] { return FindWindowWhere(wanted); }, ms, stepMs);
}

// FindWindowA, not ClassOf: it matches the class name as the system does
// (without case, at any length).
HWND WaitForWindowClass(const char* className, DWORD ms) {
  return PollFor([className] { return FindWindowA(className, nullptr); }, ms, 50);
}

HWND WaitForVisibleWindow(DWORD processId, const char* title, HWND except, DWORD ms) {
  return WaitForWindowWhere(
      [=](HWND window) {
        return ProcessOf(window) == processId && window != except && IsWindowVisible(window) &&
               (title == nullptr || TitleOf(window) == title);
      },
      ms);
}
