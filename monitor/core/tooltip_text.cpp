#include "core/tooltip_text.h"

#include "core/text_format.h"

std::string FormatTooltipLine(const TooltipWords& words, int32_t percentUsed,
                              std::string_view watchedPath, std::string_view freeText) {
  std::string text;
  text.append(words.usedLabel).append(" ");
  text.append(FormatText("%d%%", percentUsed)).append(" ");
  text.append(words.onWord).append(" ");
  text.append(watchedPath).append(" - ");
  text.append(freeText).append(" ");
  text.append(words.freeWord).append(".");
  return text;
}

std::string FormatTooltip(const TooltipWords& words, int32_t percentUsed,
                          std::string_view watchedPath, std::string_view freeText) {
  std::string text = FormatTooltipLine(words, percentUsed, watchedPath, freeText);
  if (text.size() > kMaxTooltipLength) text.resize(kMaxTooltipLength);
  return text;
}
