// The doors to the desktop that the link uses: the shell's open call and the
// message box. Every such call of the program goes through ShellOpen and
// ShowMessageBox, so that a test can put its own functions in their place
// and no browser starts and no message box waits for a user who is not there.
#pragma once

#include <windows.h>

// The shell's open call, as ShellExecuteA.
using ShellOpenFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
// The message box, as MessageBoxA.
using MessageBoxFunction = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);

// Replaces the shell's open call; nullptr puts ShellExecuteA back.
void SetShellOpen(ShellOpenFunction function);
// Replaces the message box; nullptr puts MessageBoxA back.
void SetMessageBox(MessageBoxFunction function);

HINSTANCE ShellOpen(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                    INT show);
int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
