#include "alerts/log_entry.h"

#include <cstdio>

#include "alerts/text_escape.h"

std::string formatReceptionTime(const std::tm& time) {
  char text[kLongestReceptionTimeBytes + 1];  // any int fields, not only valid dates
  std::snprintf(text, sizeof text, "%02d-%02d-%04d %02d:%02d:%02d", time.tm_mday, time.tm_mon + 1,
                time.tm_year + 1900, time.tm_hour, time.tm_min, time.tm_sec);
  return text;
}

std::string localTimeAt(std::time_t second) {
  // Under a burst many entries share one second; formatting the time again
  // for each of them would be a fair part of the daemon's own work. Only the
  // receiving thread asks, so the cache needs no lock.
  static std::time_t cachedSecond = -1;
  static std::string cachedText;
  if (second == cachedSecond) return cachedText;
#ifdef _WIN32
  // The Windows runtime keeps localtime's result per thread.
  cachedText = formatReceptionTime(*std::localtime(&second));
#else
  // Unlike localtime, localtime_r does not look at /etc/localtime again for
  // every entry; the zone's daylight-saving rules still apply.
  std::tm local;
  localtime_r(&second, &local);
  cachedText = formatReceptionTime(local);
#endif
  cachedSecond = second;
  return cachedText;
}

std::string currentLocalTime() { return localTimeAt(std::time(nullptr)); }

std::string escapeControlBytes(const std::string& message) {
  return escaped(message, EscapeForm::LogBytes);
}

std::string buildEntry(const std::string& receptionTime, const std::string& message) {
  std::string entry;
  appendEntry(&entry, receptionTime, message);
  return entry;
}

void appendEntry(std::string* entry, std::string_view receptionTime, std::string_view message) {
  entry->reserve(entry->size() + receptionTime.size() + 1 + message.size() + 16);
  *entry += receptionTime;
  *entry += ',';
  appendEscaped(entry, message, EscapeForm::LogBytes);
}
