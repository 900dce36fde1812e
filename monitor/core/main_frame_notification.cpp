// The notification at a rise of the level: from the tray icon, once per rise,
// after the icon shows the new level.
#include <windows.h>

#include <shellapi.h>

#include "core/build_variant.h"
#include "core/level_notification.h"
#include "core/main_frame.h"
#include "core/tooltip_text.h"
#include "framework/resource_language.h"
#include "resources/resource.h"

void CMainFrame::NotifyLevelRise() {
  if (!kLevelNotification || !notificationDue) {
    return;
  }
  const std::string figures =
      FormatTooltipLine({usedLabel, onWord, freeWord}, percentUsed, settings.watchedPath, freeText);
  const NotificationText notification =
      ComposeNotification(level, fw::LoadResString(IDS_PROGRAM_TITLE),
                          fw::LoadResString(StatusStringId(level)), figures);
  const DWORD icon = notification.icon == NotificationIcon::Error ? NIIF_ERROR : NIIF_WARNING;
  trayIcon.ShowBalloon(notification.title.c_str(), notification.text.c_str(), icon);
}
