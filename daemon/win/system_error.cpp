#include <windows.h>

#include "process/system_error.h"

std::string describeSystemError(int code) {
  char text[512];
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
  std::string description(text, length);
  // The system's messages end with a line break, which would split the line.
  while (!description.empty() && (description.back() == '\r' || description.back() == '\n')) {
    description.pop_back();
  }
  if (description.empty()) description = "system error " + std::to_string(code);
  return description;
}
