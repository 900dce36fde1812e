#include "ui/desktop_doors.h"

#include <shellapi.h>

namespace {

ShellOpenFunction shellOpen = ShellExecuteA;
MessageBoxFunction messageBox = MessageBoxA;

}  // namespace

void SetShellOpen(ShellOpenFunction function) {
  shellOpen = function != nullptr ? function : ShellExecuteA;
}

void SetMessageBox(MessageBoxFunction function) {
  messageBox = function != nullptr ? function : MessageBoxA;
}

HINSTANCE ShellOpen(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                    INT show) {
  return shellOpen(owner, verb, file, parameters, directory, show);
}

int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  return messageBox(owner, text, caption, type);
}
