// Shows one of the program's dialogs as a user of the current interface
// language sees it, for screenshots (scripts/screenshots.sh starts it with
// LANG and LC_ALL set, captures the window and kills it).
//   resource_viewer <dialog id>
// Prints the window's screen rectangle "left top width height" once it is
// shown, then stays until it is killed; a forgotten viewer ends by itself
// after ten minutes.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "framework/resource_language.h"
#include "resources/resource.h"

namespace {

// The viewer only shows the dialog: OK, Escape and the close box do nothing.
INT_PTR CALLBACK ViewerProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG || message == WM_COMMAND;
}

void CentreOnScreen(HWND window) {
  RECT frame;
  GetWindowRect(window, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: resource_viewer <dialog id>\n");
    return 2;
  }
  const UINT id = static_cast<UINT>(std::strtoul(argv[1], nullptr, 10));
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  LPCDLGTEMPLATEA dialogTemplate = fw::FindDialogTemplate(id);
  if (dialogTemplate == nullptr) {
    std::fprintf(stderr, "resource_viewer: no dialog %u\n", id);
    return 2;
  }
  HWND dialog =
      CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate, nullptr, ViewerProc, 0);
  if (dialog == nullptr) {
    std::fprintf(stderr, "resource_viewer: dialog %u cannot be created (%lu)\n", id,
                 GetLastError());
    return 3;
  }
  CentreOnScreen(dialog);
  SendDlgItemMessageA(dialog, IDC_PERCENT_BAR, PBM_SETRANGE, 0, MAKELPARAM(1, 100));
  SendDlgItemMessageA(dialog, IDC_PERCENT_BAR, PBM_SETPOS, 80, 0);
  ShowWindow(dialog, SW_SHOW);
  UpdateWindow(dialog);

  RECT frame;
  GetWindowRect(dialog, &frame);
  std::printf("%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
              frame.bottom - frame.top);
  std::fflush(stdout);

  SetTimer(nullptr, 0, 10 * 60 * 1000, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.hwnd == nullptr) break;
    if (!IsDialogMessageA(dialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return 0;
}
