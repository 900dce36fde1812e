// Finding top-level windows from a test, of the programs under test or of
// the test's own thread: by a rule over each window, once or polled for a
// bounded time.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

using WindowRule = std::function<bool(HWND)>;

std::string ClassOf(HWND window);
std::string TitleOf(HWND window);
DWORD ProcessOf(HWND window);

// Every top-level window the rule takes, in the system's order.
std::vector<HWND> FindWindows(const WindowRule& wanted);
// The first top-level window the rule takes, or nullptr.
HWND FindWindowWhere(const WindowRule& wanted);
// The same among the top-level windows of the calling thread.
std::vector<HWND> FindThreadWindows(const WindowRule& wanted);
HWND FindThreadWindowWhere(const WindowRule& wanted);
// Polls every `stepMs` for at most `ms` until the rule takes a window.
HWND WaitForWindowWhere(const WindowRule& wanted, DWORD ms, DWORD stepMs = 50);

// Polls (bounded) until a top-level window of `className` exists.
HWND WaitForWindowClass(const char* className, DWORD ms);
// Polls (bounded) until process `processId` has a visible top-level window
// other than `except` whose title is `title` (any title when nullptr).
HWND WaitForVisibleWindow(DWORD processId, const char* title, HWND except, DWORD ms);
