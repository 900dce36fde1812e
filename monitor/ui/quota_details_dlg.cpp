#include "ui/quota_details_dlg.h"

#include <commctrl.h>

#include "framework/win_app.h"
#include "resources/resource.h"

CQuotaDetailsDlg::CQuotaDetailsDlg() : fw::CDialog(IDD_QUOTA_DETAILS) {}

// Runs once, while the hidden window is created: the base class centres it,
// and from then on it stays wherever the user leaves it.
BOOL CQuotaDetailsDlg::OnInitDialog() {
  fw::CDialog::OnInitDialog();
  printHelpLink.SubclassDlgItem(IDC_PRINT_HELP_LINK, this);
  quotaHelpLink.SubclassDlgItem(IDC_QUOTA_HELP_LINK, this);
  balanceLabel.SubclassDlgItem(IDC_BALANCE, this);
  balanceDefaultColour = balanceLabel.GetTextColour();
  printHelpLink.SetUrl(BRIMLET_PRINT_HELP_ADDRESS);
  quotaHelpLink.SetUrl(BRIMLET_QUOTA_HELP_ADDRESS);
  printHelpLink.SetUnderline(false);
  quotaHelpLink.SetUnderline(false);
  return TRUE;
}

void CQuotaDetailsDlg::Display(const DetailsView& view) {
  SendDlgItemMessageA(m_hWnd, IDC_PERCENT_BAR, PBM_SETRANGE, 0, MAKELPARAM(1, 100));
  SendDlgItemMessageA(m_hWnd, IDC_PERCENT_BAR, PBM_SETSTEP, 1, 0);
  SendDlgItemMessageA(m_hWnd, IDC_PERCENT_BAR, PBM_SETPOS, static_cast<WPARAM>(view.percentUsed),
                      0);

  SetDlgItemTextA(m_hWnd, IDC_PARAMETER_LINE, view.parameterLine.c_str());
  SetDlgItemTextA(m_hWnd, IDC_WATCHED_PATH, view.watchedPath.c_str());
  SetDlgItemTextA(m_hWnd, IDC_LOGIN_NAME, view.loginName.c_str());
  SetDlgItemTextA(m_hWnd, IDC_SERVER_NAME, view.serverName.c_str());
  SetDlgItemTextA(m_hWnd, IDC_SERVER_PATH, view.serverPath.c_str());
  SetDlgItemTextA(m_hWnd, IDC_PERCENT_TEXT, view.percentText.c_str());

  SetDlgItemTextA(m_hWnd, IDC_DIR_USED, view.figures.dirUsed.c_str());
  SetDlgItemTextA(m_hWnd, IDC_DIR_LIMIT, view.figures.dirLimit.c_str());
  SetDlgItemTextA(m_hWnd, IDC_DIR_FREE, view.figures.dirFree.c_str());
  SetDlgItemTextA(m_hWnd, IDC_VOL_USED, view.figures.volUsed.c_str());
  SetDlgItemTextA(m_hWnd, IDC_VOL_LIMIT, view.figures.volLimit.c_str());
  SetDlgItemTextA(m_hWnd, IDC_VOL_FREE, view.figures.volFree.c_str());

  SetDlgItemTextA(m_hWnd, IDC_STATUS_TEXT, view.statusText.c_str());

  SetDlgItemTextA(m_hWnd, IDC_LOW_LIMIT, view.balance.lowLimitText.c_str());
  switch (view.balance.balanceColour) {
    case BalanceColour::Unchanged:
      break;
    case BalanceColour::Default:
      balanceLabel.SetTextColour(balanceDefaultColour);
      break;
    case BalanceColour::Yellow:
      balanceLabel.SetTextColour(kYellowColourRef);
      break;
    case BalanceColour::Red:
      balanceLabel.SetTextColour(kRedColourRef);
      break;
  }
  SetDlgItemTextA(m_hWnd, IDC_BALANCE, view.balance.balanceText.c_str());
}

void CQuotaDetailsDlg::Open() {
  ShowWindow(m_hWnd, SW_SHOW);
  SetForegroundWindow(m_hWnd);
  SetFocus(m_hWnd);
}

void CQuotaDetailsDlg::SetOwner(HWND owner) {
  SetWindowLongPtrA(m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

void CQuotaDetailsDlg::SetAutoShowBox(bool on) {
  if (m_hWnd != nullptr) {
    CheckDlgButton(m_hWnd, IDC_AUTO_SHOW, on ? BST_CHECKED : BST_UNCHECKED);
  }
}

void CQuotaDetailsDlg::HideAutoShowBox() {
  if (m_hWnd != nullptr) {
    ShowWindow(GetDlgItem(m_hWnd, IDC_AUTO_SHOW), SW_HIDE);
  }
}

bool CQuotaDetailsDlg::OnCommand(UINT id, UINT notifyCode) {
  if (id == IDC_AUTO_SHOW && notifyCode == BN_CLICKED) {
    if (autoShowChanged) autoShowChanged(IsDlgButtonChecked(m_hWnd, IDC_AUTO_SHOW) == BST_CHECKED);
    return true;
  }
  // The scan window is the main frame's, as the tray menu's command is.
  fw::CWinApp* app = fw::App();
  if (id == IDC_LARGEST_ITEMS_BUTTON && app != nullptr && app->m_pMainWnd != nullptr) {
    PostMessageA(app->m_pMainWnd->m_hWnd, WM_COMMAND, ID_LARGEST_ITEMS, 0);
    return true;
  }
  return fw::CDialog::OnCommand(id, notifyCode);
}

// Ending the program is the main window's business: destroying it ends the
// message loop exactly as the Exit command does.
void CQuotaDetailsDlg::OnOK() {
  fw::CWinApp* app = fw::App();
  if (exitOnOk && app != nullptr && app->m_pMainWnd != nullptr) {
    app->m_pMainWnd->DestroyWindow();
    return;
  }
  ShowWindow(m_hWnd, SW_HIDE);
}

void CQuotaDetailsDlg::OnCancel() { ShowWindow(m_hWnd, SW_HIDE); }
