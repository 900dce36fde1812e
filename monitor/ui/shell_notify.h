// The one door to the notification area. Every call of the tray icon goes
// through ShellNotify, so that a test can put a recorder in the shell's place
// and see each action with the record it carried.
#pragma once

#include <windows.h>

#include <shellapi.h>

using ShellNotifyFunction = BOOL (*)(DWORD action, NOTIFYICONDATAA* data);

// Replaces the shell; nullptr puts Shell_NotifyIconA back.
void SetShellNotify(ShellNotifyFunction function);

BOOL ShellNotify(DWORD action, NOTIFYICONDATAA* data);
