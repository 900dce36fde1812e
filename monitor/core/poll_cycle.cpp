// One poll of the main frame: query, evaluation, details window, tooltip,
// alert, icon and notification, in this order.
#include <winsock2.h>
#include <windows.h>

#include <commctrl.h>

#include "core/balance_text.h"
#include "core/details_text.h"
#include "core/level_notification.h"
#include "core/main_frame.h"
#include "core/quota_evaluation.h"
#include "core/reading_source.h"
#include "core/tooltip_text.h"
#include "framework/resource_language.h"
#include "resources/resource.h"
#include "ui/quota_details_dlg.h"

void CMainFrame::Poll() {
  EvaluateReading();
  balanceRead = ReadBalance(&balance);
  FillDetails();
  ShowBalance();
  UpdateTooltip();
  SendAlert();
  ShowLevelIcon();
  NotifyLevelRise();
}

void CMainFrame::EvaluateReading() {
  reading.result = ReadQuota(settings.watchedPath, &reading);
  if (IsFailedReading(reading.result)) {
    MarkFailedReading(reading);
  }
  QuotaEvaluation evaluation = EvaluateQuota(reading, ThresholdsOf(settings));
  percentUsed = evaluation.percentUsed;
  freeMb = evaluation.freeMb;
  level = evaluation.level;

  LevelChange change = levels.Enter(level, details->autoShow);
  if (change.openDetails) {
    FillDetails();
    ShowDetailsWindow();
  }
  if (change.rearmAlert) {
    alert.Rearm();
  }
  notificationDue = NotificationDue(change);
}

void CMainFrame::FillDetails() {
  HWND dialog = details->m_hWnd;
  SendDlgItemMessageA(dialog, IDC_PERCENT_BAR, PBM_SETRANGE, 0, MAKELPARAM(1, 100));
  SendDlgItemMessageA(dialog, IDC_PERCENT_BAR, PBM_SETSTEP, 1, 0);
  SendDlgItemMessageA(dialog, IDC_PERCENT_BAR, PBM_SETPOS, static_cast<WPARAM>(percentUsed), 0);

  SetDlgItemTextA(dialog, IDC_PARAMETER_LINE, FormatParameterLine(settings).c_str());
  SetDlgItemTextA(dialog, IDC_WATCHED_PATH, settings.watchedPath);
  SetDlgItemTextA(dialog, IDC_LOGIN_NAME, reading.loginName);
  SetDlgItemTextA(dialog, IDC_SERVER_NAME, reading.serverName);
  SetDlgItemTextA(dialog, IDC_SERVER_PATH, reading.serverPath);
  SetDlgItemTextA(dialog, IDC_PERCENT_TEXT, FormatPercent(percentUsed).c_str());

  FigureTexts figures = FigureTextsOf(reading);
  SetDlgItemTextA(dialog, IDC_DIR_USED, figures.dirUsed.c_str());
  SetDlgItemTextA(dialog, IDC_DIR_LIMIT, figures.dirLimit.c_str());
  SetDlgItemTextA(dialog, IDC_DIR_FREE, figures.dirFree.c_str());
  SetDlgItemTextA(dialog, IDC_VOL_USED, figures.volUsed.c_str());
  SetDlgItemTextA(dialog, IDC_VOL_LIMIT, figures.volLimit.c_str());
  SetDlgItemTextA(dialog, IDC_VOL_FREE, figures.volFree.c_str());
  freeText = figures.freeText;
  maxText = figures.maxText;

  SetDlgItemTextA(dialog, IDC_STATUS_TEXT, fw::LoadResString(StatusStringId(level)).c_str());
}

void CMainFrame::ShowBalance() {
  HWND dialog = details->m_hWnd;
  if (!balanceRead) {
    // No balance exists: both fields stay empty in the label's own colours.
    SetDlgItemTextA(dialog, IDC_LOW_LIMIT, "");
    SetDlgItemTextA(dialog, IDC_BALANCE, "");
    return;
  }
  BalanceTexts texts = BalanceTextsOf(balance);
  SetDlgItemTextA(dialog, IDC_LOW_LIMIT, texts.lowLimitText.c_str());
  if (texts.balanceColour != BalanceColour::Unchanged) {
    details->balanceLabel.SetTextColour(details->balanceDefaultColour);
    if (texts.balanceColour == BalanceColour::Yellow) {
      details->balanceLabel.SetTextColour(kYellowColourRef);
    } else if (texts.balanceColour == BalanceColour::Red) {
      details->balanceLabel.SetTextColour(kRedColourRef);
    }
  }
  SetDlgItemTextA(dialog, IDC_BALANCE, texts.balanceText.c_str());
}

void CMainFrame::UpdateTooltip() {
  tooltipText =
      FormatTooltip({usedLabel, onWord, freeWord}, percentUsed, settings.watchedPath, freeText);
  trayIcon.ChangeTooltip(tooltipText.c_str(), false);
}

void CMainFrame::ShowLevelIcon() {
  switch (level) {
    case LevelOk:
      trayIcon.ChangeIcon(icons[kIconOk]);
      break;
    case LevelWarning:
      trayIcon.AnimateIcons(&icons[kIconWarningFirst], kBlinkFrames, kBlinkIntervalMs);
      break;
    case LevelDanger:
      trayIcon.AnimateIcons(&icons[kIconDangerFirst], kBlinkFrames, kBlinkIntervalMs);
      break;
    default:
      trayIcon.ChangeIcon(icons[kIconUnknown]);
      break;
  }
}
