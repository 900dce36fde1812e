#include "framework/dialog.h"

#include "framework/resource_language.h"

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

INT_PTR CDialog::DoModal(CWnd* parent) {
  LPCDLGTEMPLATEA dialogTemplate = FindDialogTemplate(templateId_);
  if (dialogTemplate == nullptr || m_hWnd != nullptr) {
    return -1;
  }
  modal_ = true;
  BeginCreation(this);
  INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate,
                                           parent != nullptr ? parent->m_hWnd : nullptr,
                                           NoDialogProc, 0);
  EndCreation();
  return result;
}

void CDialog::EndDialog(int result) {
  if (m_hWnd != nullptr) {
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
  return !modal_ && m_hWnd != nullptr && IsDialogMessageA(m_hWnd, message) != FALSE;
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
