// The figure texts of the details window, the parameter line and the percentage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/command_line.h"
#include "core/monitor_settings.h"
#include "core/quota_types.h"

// Kilobytes as megabytes of 1000 KB with two decimals: "%.2lf Mb". At most 14
// characters for any figure the client's 32-bit block counts give
// ("17179869.18 Mb"), so an alert with both still fits its 127 bytes.
std::string FormatMb(uint64_t kb);

// "%d%%".
std::string FormatPercent(int32_t percent);

// The six figure texts of a reading (the figures of FiguresOf, formatted),
// plus the free and limit texts that the tooltip and the alert carry. A failed reading shows "??" everywhere; a
// figure that does not apply to the kind of restriction is empty.
struct FigureTexts {
  std::string dirUsed;
  std::string dirLimit;
  std::string dirFree;
  std::string volUsed;
  std::string volLimit;
  std::string volFree;
  std::string freeText;  // empty unless exactly one kind of restriction applies
  std::string maxText;
};

FigureTexts FigureTextsOf(const QuotaReading& reading);

// "path/300s/75%/95%", or "path/300s/50Mb/10Mb" with the thresholds in
// megabytes; the percent-only form always shows percent. Cut after 79
// characters, the width of its control.
constexpr std::size_t kMaxParameterLineLength = 79;
std::string FormatParameterLine(const MonitorSettings& settings, CommandLineForm form);
std::string FormatParameterLine(const MonitorSettings& settings);
