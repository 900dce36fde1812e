#include "log_entry.h"

#include <cstdio>

std::string formatReceptionTime(const std::tm& time) {
  char text[80];  // room for any int fields, not only valid dates
  std::snprintf(text, sizeof text, "%02d-%02d-%04d %02d:%02d:%02d", time.tm_mday,
                time.tm_mon + 1, time.tm_year + 1900, time.tm_hour, time.tm_min, time.tm_sec);
  return text;
}

std::string currentLocalTime() {
  const std::time_t now = std::time(nullptr);
  // The daemon has one thread, so the shared buffer of localtime is safe here.
  return formatReceptionTime(*std::localtime(&now));
}

std::string escapeControlBytes(const std::string& message) {
  std::string escaped;
  escaped.reserve(message.size());
  for (char c : message) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char code[8];
      std::snprintf(code, sizeof code, "#%03o", byte);
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
