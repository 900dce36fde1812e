#include "log_entry.h"

#include <cstdio>

#include "text_escape.h"

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

std::string escapeControlBytes(const std::string& message) {
  return escaped(message, EscapeForm::LogBytes);
}

std::string buildEntry(const std::string& receptionTime, const std::string& message) {
  std::string entry;
  entry.reserve(receptionTime.size() + 1 + message.size() + 16);
  entry += receptionTime;
  entry += ',';
  appendEscaped(&entry, message, EscapeForm::LogBytes);
  return entry;
}
