// The notification that the tray icon shows (at a rise, or as a reminder; see
// core/notice_rules.h for when): its title and text within the shell's limits.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/status_level.h"

// The extended tray record holds a title of 64 bytes and a text of 256, each
// with its terminator.
constexpr std::size_t kMaxNotificationTitleLength = 63;
constexpr std::size_t kMaxNotificationTextLength = 255;

enum class NotificationIcon { Warning, Error };

struct NotificationText {
  std::string title;
  std::string text;
  NotificationIcon icon = NotificationIcon::Warning;
};

// Title `programTitle`; text the status sentence, a line break and the
// tooltip's line of figures, cut to what the record holds: the figures give
// way first, so the sentence survives a long watched path. Danger shows the
// error icon, any other level the warning icon.
NotificationText ComposeNotification(StatusLevel level, std::string_view programTitle,
                                     std::string_view statusSentence, std::string_view figures);
