#include "core/command_line.h"

#include <array>
#include <limits>
#include <string>

#include "core/fixed_text.h"
#include "core/tokenizer.h"

namespace {

constexpr std::size_t kMaxTokens = 9;

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
  return text;
}

// Only a to z: the path may hold 8-bit characters of the code page, which a
// locale-dependent toupper could change.
void UpperCaseAsciiLetters(char* text) {
  for (; *text != '\0'; ++text) {
    if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
  }
}

bool IsYes(const std::string& token) { return token == "y" || token == "Y"; }

}  // namespace

int32_t ReadInteger(std::string_view token) {
  std::size_t at = 0;
  bool negative = false;
  if (at < token.size() && (token[at] == '+' || token[at] == '-')) {
    negative = token[at] == '-';
    ++at;
  }
  // Accumulate in 64 bits and stop growing past the 32-bit range, so any
  // number of digits is read without overflow.
  constexpr int64_t kCap = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t magnitude = 0;
  for (; at < token.size() && token[at] >= '0' && token[at] <= '9'; ++at) {
    magnitude = magnitude * 10 + (token[at] - '0');
    if (magnitude > kCap) magnitude = kCap;
  }
  const int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);  // -kCap is INT32_MIN exactly
}

bool ParseCommandLine(std::string_view text, MonitorSettings& settings, CommandLineForm form) {
  const std::size_t wanted = form == CommandLineForm::WithUnit ? kMaxTokens : kMaxTokens - 1;
  CTokenizer tokenizer{std::string(Trim(text))};
  std::array<std::string, kMaxTokens> tokens;
  std::size_t count = 0;
  while (tokenizer.HasMoreTokens() && count < wanted) tokens[count++] = tokenizer.NextToken();
  if (count != wanted || tokenizer.HasMoreTokens()) return false;

  MonitorSettings parsed;
  std::size_t next = 0;
  const std::string& path = tokens[next++];
  if (path.size() > kMaxWatchedPathLength || !CopyToBuffer(parsed.watchedPath, path)) {
    return false;
  }
  UpperCaseAsciiLetters(parsed.watchedPath);
  parsed.pollSeconds = ReadInteger(tokens[next++]);
  parsed.warnThreshold = ReadInteger(tokens[next++]);
  parsed.dangerThreshold = ReadInteger(tokens[next++]);
  if (form == CommandLineForm::WithUnit) {
    const std::string& unit = tokens[next++];
    if (unit == "A" || unit == "a") {
      parsed.thresholdsInPercent = false;
    } else if (unit == "%") {
      parsed.thresholdsInPercent = true;
    } else {
      return false;
    }
  } else {
    parsed.thresholdsInPercent = true;
  }
  parsed.showDetailsAtStart = IsYes(tokens[next++]);
  parsed.autoShow = IsYes(tokens[next++]);
  if (!CopyToBuffer(parsed.alertHost, tokens[next++])) return false;
  parsed.alertPort = ReadInteger(tokens[next++]);

  settings = parsed;
  return true;
}

bool ParseCommandLine(std::string_view text, MonitorSettings& settings) {
  return ParseCommandLine(text, settings, kCommandLineForm);
}

MonitorSettings SettingsFromCommandLine(std::string_view text, CommandLineForm form) {
  MonitorSettings settings;
  ParseCommandLine(text, settings, form);
  return settings;
}

MonitorSettings SettingsFromCommandLine(std::string_view text) {
  return SettingsFromCommandLine(text, kCommandLineForm);
}
