#include "ui/shell_notify.h"

namespace {

BOOL CallShell(DWORD action, NOTIFYICONDATAA* data) { return Shell_NotifyIconA(action, data); }

ShellNotifyFunction shellNotify = CallShell;

}  // namespace

void SetShellNotify(ShellNotifyFunction function) {
  shellNotify = function != nullptr ? function : CallShell;
}

BOOL ShellNotify(DWORD action, NOTIFYICONDATAA* data) { return shellNotify(action, data); }
