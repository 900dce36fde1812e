// The notification from the tray icon, as the notice rules decide it: at a
// rise, or as a reminder while the level holds, after the icon shows the
// level, with the level and figures of the poll's view. It is withdrawn as
// soon as it no longer holds: at any other change of the level, and when the
// details window opens (which says more).
#include <windows.h>

#include <shellapi.h>

#include "app/main_frame.h"
#include "core/build_variant.h"
#include "core/level_notification.h"

void CMainFrame::TellUser(const DetailsView& view, const LevelStep& step) {
  const bool notify = step.notice == Notice::Notification || step.notice == Notice::Reminder;
  if (!kLevelNotification || !notify) {
    if (step.change.level != step.change.previousLevel || step.notice == Notice::OpenWindow) {
      trayIcon.WithdrawBalloon();
    }
    return;
  }
  const NotificationText& notification = view.notification;
  const DWORD icon = notification.icon == NotificationIcon::Error ? NIIF_ERROR : NIIF_WARNING;
  trayIcon.ShowBalloon(notification.title.c_str(), notification.text.c_str(), icon);
}
