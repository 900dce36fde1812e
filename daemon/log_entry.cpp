#include "log_entry.h"

#include <algorithm>
#include <cstdio>

std::string formatReceptionTime(const std::tm& time) {
  char text[80];  // room for any int fields, not only valid dates
  std::snprintf(text, sizeof text, "%02d-%02d-%04d %02d:%02d:%02d", time.tm_mday, time.tm_mon + 1,
                time.tm_year + 1900, time.tm_hour, time.tm_min, time.tm_sec);
  return text;
}

std::string currentLocalTime() {
  // Under a burst many entries share one second; formatting the time again
  // for each of them would be a fair part of the daemon's own work. One
  // thread only, so the cache needs no lock.
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

bool isControlByte(char c) {
  const unsigned char byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

}  // namespace

std::string escapeControlBytes(const std::string& message) {
  if (std::none_of(message.begin(), message.end(), isControlByte)) return message;
  std::string escaped;
  escaped.reserve(message.size());
  for (char c : message) {
    if (isControlByte(c)) {
      char code[8];
      std::snprintf(code, sizeof code, "#%03o", static_cast<unsigned char>(c));
      escaped += code;
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string buildEntry(const std::string& receptionTime, const std::string& message) {
  return receptionTime + "," + escapeControlBytes(message);
}
