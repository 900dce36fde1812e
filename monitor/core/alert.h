// The alert datagram's text and the rule of when one goes out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/status_level.h"

// The text is composed in a buffer of this size and so carries at most 127
// bytes; a longer one (a very long login name) is cut there.
constexpr std::size_t kAlertBufferSize = 128;
constexpr std::size_t kMaxAlertLength = kAlertBufferSize - 1;

struct AlertFields {
  StatusLevel level = LevelUnknown;
  std::string_view loginName;
  int32_t percentUsed = 0;
  std::string_view freeText;  // empty when both kinds of restriction apply
  std::string_view maxText;
};

// "Warning,%s,%d%%,%s free,%s max" or "Danger,%s,%d%%,%s free,%s max", always
// English, without terminator or line end. Empty for any other level.
std::string ComposeAlertText(const AlertFields& fields);

// The alert's whole state: whether the socket could be connected and whether
// an alert went out since the last re-arming. A run sends a warning alert at
// most once; a danger alert needs the alert armed, which a step from warning
// straight to danger does again.
class AlertState {
 public:
  // After the socket was opened: fixes `connected` for the run and arms.
  void Open(bool socketConnected);

  // Called during evaluation when the level went from warning to danger.
  void Rearm();

  // The text to send now, or nothing. An alert is due when the socket is
  // connected, the alert is armed and the level is warning or danger; taking
  // it counts it as sent, whatever the send then does.
  std::optional<std::string> TakeDueAlert(const AlertFields& fields);

 private:
  bool connected = false;
  bool alertSent = false;
};
