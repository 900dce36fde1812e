// The notification at a rise of the level: from the tray icon, once per rise,
// after the icon shows the new level, with the level and figures of the
// poll's view. It is withdrawn as soon as it no longer holds: at any other
// change of the level, and when the details window opens (which says more).
#include <windows.h>

#include <shellapi.h>

#include "app/main_frame.h"
#include "core/build_variant.h"
#include "core/level_notification.h"

void CMainFrame::NotifyLevelRise(const DetailsView& view, const LevelChange& change) {
  if (!kLevelNotification || !NotificationDue(change)) {
    if (change.level != change.previousLevel || change.openDetails) {
      trayIcon.WithdrawBalloon();
    }
    return;
  }
  const NotificationText& notification = view.notification;
  const DWORD icon = notification.icon == NotificationIcon::Error ? NIIF_ERROR : NIIF_WARNING;
  trayIcon.ShowBalloon(notification.title.c_str(), notification.text.c_str(), icon);
}
