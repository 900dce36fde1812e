// Whether the shell asks programs to keep quiet now: the user presents, runs a
// full-screen or Direct3D program, or is in quiet time. The monitor then
// shows no notification and opens no window by itself.
#pragma once

#include <windows.h>

// SHQueryUserNotificationState's answers (Vista and later), named here since
// the headers of older targets lack them.
enum UserNotificationState : int {
  kUserNotPresent = 1,
  kUserBusy = 2,
  kUserRunningFullScreen = 3,  // Direct3D full screen
  kUserPresenting = 4,
  kUserAcceptsNotifications = 5,
  kUserQuietTime = 6,
  kUserRunningApp = 7,  // a Windows Store app
};

using UserStateQuery = HRESULT(WINAPI*)(int* state);

// Replaces the shell's answer, as SetShellNotify replaces the shell; nullptr
// puts SHQueryUserNotificationState back.
void SetUserStateQuery(UserStateQuery query);

// True for busy, full screen, presentation and quiet time. A shell without
// the call (before Vista), or one that cannot answer, never keeps it quiet.
bool ShellWantsQuiet();
