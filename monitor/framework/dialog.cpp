#include "framework/dialog.h"

#include "framework/resource_language.h"
#include "framework/win_app.h"

namespace fw {

namespace {

// The dialog manager needs a dialog procedure; the window itself is bound to
// its object, which handles every message, so this one handles nothing.
INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

bool CDialog::Create(CWnd* parent) {
  LPCDLGTEMPLATEA dialogTemplate = FindDialogTemplate(templateId_);
  if (dialogTemplate == nullptr || m_hWnd != nullptr) {
    return false;
  }
  modal_ = false;
  BeginCreation(this);
  HWND window = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate,
                                           parent != nullptr ? parent->m_hWnd : nullptr,
                                           NoDialogProc, 0);
  EndCreation();
  return window != nullptr;
}

// The modal loop is the program's own rather than the dialog manager's: every
// message goes through the application's filters, so the modeless windows
// keep their keyboard interface and the links their tooltips while the
// dialog is open.
INT_PTR CDialog::DoModal(CWnd* parent) {
  LPCDLGTEMPLATEA dialogTemplate = FindDialogTemplate(templateId_);
  if (dialogTemplate == nullptr || m_hWnd != nullptr) {
    return -1;
  }
  HWND owner = parent != nullptr ? parent->m_hWnd : nullptr;
  modal_ = true;
  ended_ = false;
  result_ = -1;
  BeginCreation(this);
  HWND window = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate, owner,
                                           NoDialogProc, 0);
  EndCreation();
  if (window == nullptr) {
    modal_ = false;
    return -1;
  }
  bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner);
  if (ownerWasEnabled) {
    EnableWindow(owner, FALSE);
  }
  BringAboveThreadWindows(window);
  RunModalLoop(window);
  // Enabled again before the dialog goes, so that activation can return to
  // the owner.
  if (ownerWasEnabled) {
    EnableWindow(owner, TRUE);
  }
  if (IsWindow(window)) {
    ::DestroyWindow(window);
  }
  modal_ = false;
  return result_;
}

void CDialog::RunModalLoop(HWND window) {
  MSG message;
  while (!ended_ && IsWindow(window)) {
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      // The quit belongs to the outer loop: hand it back.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (got == -1) {
      Trace("GetMessage failed in a modal loop\n");
      return;
    }
    CWinApp* app = App();
    bool consumed = app != nullptr ? app->PreTranslateMessage(&message)
                                   : PreTranslateMessage(&message);
    if (!consumed) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

namespace {

struct TopmostSearch {
  HWND self;
  bool found;
};

BOOL CALLBACK FindTopmost(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<TopmostSearch*>(parameter);
  if (window != search->self && IsWindowVisible(window) &&
      (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
    search->found = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

// A modal dialog answers the user's last action, so it shows above every
// window of the program, also above one that stays above other windows.
void CDialog::BringAboveThreadWindows(HWND window) {
  TopmostSearch search{window, false};
  EnumThreadWindows(GetCurrentThreadId(), FindTopmost, reinterpret_cast<LPARAM>(&search));
  SetWindowPos(window, search.found ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(window);
}

// In the modal loop the dialog is hidden at once and destroyed when the loop
// has ended.
void CDialog::EndDialog(int result) {
  if (m_hWnd == nullptr) {
    return;
  }
  if (modal_) {
    result_ = result;
    ended_ = true;
    ShowWindow(m_hWnd, SW_HIDE);
  } else {
    ::EndDialog(m_hWnd, result);
  }
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    Default();
    return OnInitDialog();
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

bool CDialog::PreTranslateMessage(MSG* message) {
  return m_hWnd != nullptr && IsDialogMessageA(m_hWnd, message) != FALSE;
}

bool CDialog::OnCommand(UINT id, UINT) {
  switch (id) {
    case IDOK:
      OnOK();
      return true;
    case IDCANCEL:
      OnCancel();
      return true;
    default:
      return false;
  }
}

BOOL CDialog::OnInitDialog() {
  CenterWindow();
  return TRUE;
}

void CDialog::OnOK() {
  if (modal_) {
    EndDialog(IDOK);
  } else {
    DestroyWindow();
  }
}

void CDialog::OnCancel() {
  if (modal_) {
    EndDialog(IDCANCEL);
  } else {
    DestroyWindow();
  }
}

void CDialog::CenterWindow() {
  RECT area;
  HWND owner = GetWindow(m_hWnd, GW_OWNER);
  if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) {
    GetWindowRect(owner, &area);
  } else {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT own;
  GetWindowRect(m_hWnd, &own);
  int width = own.right - own.left;
  int height = own.bottom - own.top;
  int x = area.left + ((area.right - area.left) - width) / 2;
  int y = area.top + ((area.bottom - area.top) - height) / 2;
  SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace fw
