// One poll of the main frame: read, evaluate and compute the view once, show
// it in the details window, follow the level, then tooltip, alert, icon and
// notification from the same view, in this order. Snooze ends and reminders
// are judged here too: they add no timer of their own.
#include <winsock2.h>
#include <windows.h>

#include "app/main_frame.h"
#include "app/notice_clock.h"
#include "app/reading_source.h"
#include "core/details_view.h"
#include "core/quota_evaluation.h"
#include "ui/quota_details_dlg.h"
#include "ui/user_quiet.h"

void CMainFrame::Poll() {
  const DetailsView view = ReadView();
  details->Display(view);
  const LevelStep step = FollowLevel(view.level);
  UpdateTooltip(view);
  SendAlert(view);
  ShowLevelIcon(view.level);
  TellUser(view, step);
}

// One reading from the source, both queries from one client session.
DetailsView CMainFrame::ReadView() {
  SourceReading source = ReadSource(settings.watchedPath);
  MarkFailedReading(source.quota);
  const int result = source.quota.result;
  directoryLimitKb =
      result == DirectoryLimitOnly || result == BothLimits ? source.quota.dirLimitKb : 0;
  figures = ExactFiguresOf(source.quota);
  const QuotaEvaluation evaluation = EvaluateQuota(source.quota, ThresholdsOf(settings));
  return DetailsViewOf(settings, source.quota, evaluation,
                       source.balance ? &*source.balance : nullptr, words);
}

// A step from warning to danger re-arms the alert before it is sent, by the
// alert's own rule. The notice rules decide what the user is shown: a rise
// into danger may open the details window, already filled, by itself.
CMainFrame::LevelStep CMainFrame::FollowLevel(StatusLevel level) {
  LevelStep step{levels.Enter(level), Notice::None};
  if (step.change.rearmAlert) {
    alert.Rearm();
  }
  NoticePoll poll;
  poll.now = NoticeClockNow();
  poll.level = level;
  poll.levelWithMargin = LevelWithMargin(figures, ThresholdsOf(settings));
  poll.freeKb = figures.freeKb;
  poll.quiet = ShellWantsQuiet();
  poll.autoShow = autoShow;
  step.notice = notices.Poll(poll);
  if (step.notice == Notice::OpenWindow) {
    details->Open();
  }
  return step;
}

// The tray's record keeps its tooltip, also for a taskbar started again, so a
// tooltip that did not change costs the shell nothing. One the shell refused
// is sent again at the next poll.
void CMainFrame::UpdateTooltip(const DetailsView& view) {
  if (view.tooltipText == shownTooltip) {
    return;
  }
  shownTooltip = trayIcon.ChangeTooltip(view.tooltipText.c_str(), false) ? view.tooltipText
                                                                          : std::string();
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
