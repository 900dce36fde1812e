// The tray icon's tooltip text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The tray's short icon record holds 64 bytes with the terminator.
constexpr std::size_t kMaxTooltipLength = 63;

// The three words of the tooltip, loaded from the string table in the user's
// language: "Disk space used : ", "on" and "free" in English.
struct TooltipWords {
  std::string_view usedLabel;
  std::string_view onWord;
  std::string_view freeWord;
};

// "%s %d%% %s %s - %s %s." of label, percentage, "on", path, free text and
// "free", cut after 63 characters. The English label ends with a blank, so
// two blanks precede the percentage: "Disk space used :  80% on H:\ - ...".
std::string FormatTooltip(const TooltipWords& words, int32_t percentUsed,
                          std::string_view watchedPath, std::string_view freeText);

// The same line whole, for the level notification, which has room for a long
// watched path.
std::string FormatTooltipLine(const TooltipWords& words, int32_t percentUsed,
                              std::string_view watchedPath, std::string_view freeText);
