#include "log_entry.h"

#include <cstdio>

std::string formatReceptionTime(const std::tm& time) {
  char text[kLongestReceptionTimeBytes + 1];  // any int fields, not only valid dates
  std::snprintf(text, sizeof text, "%02d-%02d-%04d %02d:%02d:%02d", time.tm_mday, time.tm_mon + 1,
                time.tm_year + 1900, time.tm_hour, time.tm_min, time.tm_sec);
  return text;
}

std::string currentLocalTime() {
  // Under a burst many entries share one second; formatting the time again
  // for each of them would be a fair part of the daemon's own work. Only the
  // receiving thread reads the clock, so the cache needs no lock.
  static std::time_t cachedSecond = -1;
  static std::string cachedText;
  const std::time_t now = std::time(nullptr);
  if (now == cachedSecond) return cachedText;
#ifdef _WIN32
  // The Windows runtime keeps localtime's result per thread.
  cachedText = formatReceptionTime(*std::localtime(&now));
#else
  // Unlike localtime, localtime_r does not look at /etc/localtime again for
  // every entry; the zone's daylight-saving rules still apply.
  std::tm local;
  localtime_r(&now, &local);
  cachedText = formatReceptionTime(local);
#endif
  cachedSecond = now;
  return cachedText;
}

namespace {

// C0 controls, DEL and the C1 controls: 0x9B alone starts a control sequence
// on an 8-bit terminal, and 0x85 is a line break to some readers.
bool isControlByte(unsigned char byte) { return byte < 0x20 || (byte >= 0x7F && byte <= 0x9F); }

bool isOctalDigit(char c) { return c >= '0' && c <= '7'; }

// A "#" that the alert itself holds, followed by three octal digits, would
// read as an escape: it is escaped as well. Any other "#" stays as it is.
bool looksLikeEscape(const std::string& text, std::size_t at) {
  return text[at] == '#' && at + 3 < text.size() && isOctalDigit(text[at + 1]) &&
         isOctalDigit(text[at + 2]) && isOctalDigit(text[at + 3]);
}

bool needsEscape(const std::string& text, std::size_t at) {
  return isControlByte(static_cast<unsigned char>(text[at])) || looksLikeEscape(text, at);
}

}  // namespace

std::string escapeControlBytes(const std::string& message) {
  std::size_t first = 0;
  while (first < message.size() && !needsEscape(message, first)) ++first;
  if (first == message.size()) return message;
  std::string escaped(message, 0, first);
  escaped.reserve(message.size() + 8);
  for (std::size_t at = first; at < message.size(); ++at) {
    if (needsEscape(message, at)) {
      char code[8];
      std::snprintf(code, sizeof code, "#%03o", static_cast<unsigned char>(message[at]));
      escaped += code;
    } else {
      escaped += message[at];
    }
  }
  return escaped;
}

std::string buildEntry(const std::string& receptionTime, const std::string& message) {
  return receptionTime + "," + escapeControlBytes(message);
}
