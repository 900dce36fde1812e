// One poll of the main frame: read, evaluate and compute the view once, show
// it in the details window, follow the level, then tooltip, alert, icon and
// notification from the same view, in this order.
#include <winsock2.h>
#include <windows.h>

#include "app/main_frame.h"
#include "app/reading_source.h"
#include "core/details_view.h"
#include "core/quota_evaluation.h"
#include "ui/quota_details_dlg.h"

void CMainFrame::Poll() {
  const DetailsView view = ReadView();
  details->Display(view);
  const LevelChange change = FollowLevel(view.level);
  UpdateTooltip(view);
  SendAlert(view);
  ShowLevelIcon(view.level);
  NotifyLevelRise(view, change);
}

// One reading from the source, both queries from one client session.
DetailsView CMainFrame::ReadView() {
  SourceReading source = ReadSource(settings.watchedPath);
  MarkFailedReading(source.quota);
  const int result = source.quota.result;
  directoryLimitKb =
      result == DirectoryLimitOnly || result == BothLimits ? source.quota.dirLimitKb : 0;
  const QuotaEvaluation evaluation = EvaluateQuota(source.quota, ThresholdsOf(settings));
  return DetailsViewOf(settings, source.quota, evaluation,
                       source.balance ? &*source.balance : nullptr, words);
}

// Entering danger may open the details window, already filled, by itself; a
// step from warning to danger re-arms the alert before it is sent. The change
// also tells the notification step whether the level rose.
LevelChange CMainFrame::FollowLevel(StatusLevel level) {
  const LevelChange change = levels.Enter(level, autoShow);
  if (change.openDetails) {
    details->Open();
  }
  if (change.rearmAlert) {
    alert.Rearm();
  }
  return change;
}

void CMainFrame::UpdateTooltip(const DetailsView& view) {
  trayIcon.ChangeTooltip(view.tooltipText.c_str(), false);
}

void CMainFrame::ShowLevelIcon(StatusLevel level) {
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
