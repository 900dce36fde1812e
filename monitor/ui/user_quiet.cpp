#include "ui/user_quiet.h"

namespace {

// Looked up at run time: shell32 of Windows XP has no such export, and a
// static import would keep the program from starting there.
HRESULT WINAPI AskShell(int* state) {
  using Query = HRESULT(WINAPI*)(int*);
  static const Query query = [] {
    HMODULE shell = GetModuleHandleA("shell32.dll");
    FARPROC found = shell != nullptr ? GetProcAddress(shell, "SHQueryUserNotificationState")
                                     : nullptr;
    return reinterpret_cast<Query>(reinterpret_cast<void*>(found));
  }();
  return query != nullptr ? query(state) : E_NOTIMPL;
}

UserStateQuery userStateQuery = AskShell;

}  // namespace

void SetUserStateQuery(UserStateQuery query) {
  userStateQuery = query != nullptr ? query : AskShell;
}

bool ShellWantsQuiet() {
  int state = kUserAcceptsNotifications;
  if (FAILED(userStateQuery(&state))) {
    return false;
  }
  return state == kUserBusy || state == kUserRunningFullScreen || state == kUserPresenting ||
         state == kUserQuietTime;
}
