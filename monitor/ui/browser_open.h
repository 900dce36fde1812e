// Opening an address in the user's web browser: the shell's "open" verb, else
// the browser registered for ".htm" pages, started on the address.
#pragma once

#include <windows.h>

// The shell's open call, as ShellExecuteA.
using ShellOpenFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

// Answers the shell's result, or the program start's result for the
// fallback; above 32 is success. A null address opens "".
UINT OpenInBrowser(const char* address, int show, ShellOpenFunction shellOpen);
