#include "core/level_notification.h"

NotificationText ComposeNotification(StatusLevel level, std::string_view programTitle,
                                     std::string_view statusSentence, std::string_view figures) {
  NotificationText notification;
  notification.title = programTitle.substr(0, kMaxNotificationTitleLength);
  notification.text = statusSentence.substr(0, kMaxNotificationTextLength);
  if (notification.text.size() + 1 < kMaxNotificationTextLength && !figures.empty()) {
    notification.text.append("\n");
    notification.text.append(
        figures.substr(0, kMaxNotificationTextLength - notification.text.size()));
  }
  notification.icon = level == LevelDanger ? NotificationIcon::Error : NotificationIcon::Warning;
  return notification;
}
