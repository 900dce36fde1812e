#include "core/level_notification.h"

bool RaisesNotification(StatusLevel previousLevel, StatusLevel level) {
  switch (level) {
    case LevelWarning:
      return previousLevel == LevelUnknown || previousLevel == LevelOk;
    case LevelDanger:
      return previousLevel == LevelUnknown || previousLevel == LevelOk ||
             previousLevel == LevelWarning;
    default:
      return false;
  }
}

bool NotificationDue(const LevelChange& change) {
  return !change.openDetails && RaisesNotification(change.previousLevel, change.level);
}

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
