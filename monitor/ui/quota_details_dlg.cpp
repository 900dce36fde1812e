#include "ui/quota_details_dlg.h"

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

void CQuotaDetailsDlg::SetAutoShow(bool on) {
  autoShow = on;
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
    autoShow = IsDlgButtonChecked(m_hWnd, IDC_AUTO_SHOW) == BST_CHECKED;
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
