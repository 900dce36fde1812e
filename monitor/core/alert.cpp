#include "core/alert.h"

#include <cstdio>
#include <cstring>

namespace {

int Width(std::string_view text) {
  return text.size() > kAlertBufferSize ? static_cast<int>(kAlertBufferSize)
                                        : static_cast<int>(text.size());
}

}  // namespace

std::string ComposeAlertText(const AlertFields& fields) {
  const char* format = nullptr;
  if (fields.level == LevelWarning) {
    format = "Warning,%.*s,%d%%,%.*s free,%.*s max";
  } else if (fields.level == LevelDanger) {
    format = "Danger,%.*s,%d%%,%.*s free,%.*s max";
  } else {
    return std::string();
  }
  char buffer[kAlertBufferSize] = {};
  std::snprintf(buffer, sizeof(buffer), format, Width(fields.loginName), fields.loginName.data(),
                fields.percentUsed, Width(fields.freeText), fields.freeText.data(),
                Width(fields.maxText), fields.maxText.data());
  return std::string(buffer, std::strlen(buffer));
}

void AlertState::Open(bool socketConnected) {
  connected = socketConnected;
  alertSent = false;
}

void AlertState::Rearm() { alertSent = false; }

std::optional<std::string> AlertState::TakeDueAlert(const AlertFields& fields) {
  if (!connected || alertSent) return std::nullopt;
  if (fields.level != LevelWarning && fields.level != LevelDanger) return std::nullopt;
  alertSent = true;
  return ComposeAlertText(fields);
}
