// Reading the monitor's command line into MonitorSettings.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/build_variant.h"
#include "core/monitor_settings.h"

enum class CommandLineForm {
  WithUnit,     // path poll warn danger unit show auto host port
  PercentOnly,  // the same without the unit token; thresholds always in percent
};

constexpr CommandLineForm kCommandLineForm =
    kUnitParameter ? CommandLineForm::WithUnit : CommandLineForm::PercentOnly;

// An optional sign and the leading decimal digits; text that does not begin
// with a number (a leading blank or tab included) reads as 0. Values beyond the
// 32-bit range saturate at INT32_MIN or INT32_MAX.
int32_t ReadInteger(std::string_view token);

// Parses `text`, the command line after the program name. On success fills
// `settings` and answers true. On failure (token count, unit token, a path or
// host too long for its buffer) answers false and leaves `settings` untouched.
bool ParseCommandLine(std::string_view text, MonitorSettings& settings, CommandLineForm form);
bool ParseCommandLine(std::string_view text, MonitorSettings& settings);

// The parsed settings, or the defaults when the command line is invalid. An
// invalid command line is not reported to the user.
MonitorSettings SettingsFromCommandLine(std::string_view text, CommandLineForm form);
MonitorSettings SettingsFromCommandLine(std::string_view text);
