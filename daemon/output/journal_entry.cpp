#include "output/journal_entry.h"

#include <cstdint>
#include <string_view>

#include "alerts/alert_form.h"
#include "alerts/text_escape.h"

namespace {

// NAME=value, or, when the value holds a line end (or a zero byte, which
// a reader of text may take for its end), NAME, a line end, the value's
// length as 64-bit little-endian, the value and a line end.
void addField(std::string* payload, std::string_view name, std::string_view value) {
  *payload += name;
  if (value.find_first_of(std::string_view("\n\0", 2)) == std::string_view::npos) {
    *payload += '=';
    *payload += value;
    *payload += '\n';
    return;
  }
  *payload += '\n';
  std::uint64_t length = value.size();
  for (int i = 0; i < 8; ++i, length >>= 8) *payload += static_cast<char>(length & 0xFF);
  *payload += value;
  *payload += '\n';
}

// NAME=value for text from outside, escaped straight into the payload: it
// holds no line end and no zero byte any more.
void addEscapedField(std::string* payload, std::string_view name, std::string_view value,
                     EscapeForm form) {
  *payload += name;
  *payload += '=';
  appendEscaped(payload, value, form);
  *payload += '\n';
}

}  // namespace

std::string journalEntry(const std::string& logLine, const std::string& message,
                         const std::string& sender) {
  std::string payload;
  appendJournalEntry(&payload, logLine, message, sender);
  return payload;
}

void appendJournalEntry(std::string* payloadText, const std::string& logLine,
                        const std::string& message, const std::string& sender) {
  std::string& payload = *payloadText;
  MonitorAlert alert;
  const bool monitorForm = parseMonitorAlert(message, &alert);
  const bool danger = monitorForm ? alert.level == AlertLevel::Danger : mentionsDanger(message);
  // Escaped, a byte takes at most four.
  payload.reserve(payload.size() + 2 * logLine.size() + 4 * message.size() + 256);
  addEscapedField(&payload, "MESSAGE", logLine, EscapeForm::LogLineAsJournalText);
  addField(&payload, "PRIORITY", danger ? "2" : "4");
  addField(&payload, "SYSLOG_IDENTIFIER", "brimletd");
  addField(&payload, "BRIMLET_SENDER", sender);
  if (monitorForm) {
    addField(&payload, "MESSAGE_ID", danger ? kDangerMessageId : kWarningMessageId);
    addField(&payload, "BRIMLET_LEVEL", danger ? "Danger" : "Warning");
    addEscapedField(&payload, "BRIMLET_USER", alert.user, EscapeForm::JournalText);
    addField(&payload, "BRIMLET_PERCENT", alert.percent);
    addField(&payload, "BRIMLET_FREE_MB", alert.freeMb);
    addField(&payload, "BRIMLET_MAX_MB", alert.maxMb);
  }
}
