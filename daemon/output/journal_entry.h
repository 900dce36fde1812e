// One kept alert as a journal entry in the journal's native protocol.
#pragma once

#include <string>

// The entry's identifiers, one per level, so that `journalctl -x` can find
// the catalog's text (packaging/brimletd.catalog) and an administrator can
// ask for every danger alert at once.
inline constexpr char kWarningMessageId[] = "5ac2ca306d8d4b2a847ba9591ebad0d7";
inline constexpr char kDangerMessageId[] = "aa0e8636ec034e4da7decd4553d98a86";

// The datagram's payload for one alert: MESSAGE is the log line as written
// to the file, PRIORITY 4 (warning) or 2 (critical), SYSLOG_IDENTIFIER
// brimletd. An alert in the monitor's exact form also gets its MESSAGE_ID
// and the BRIMLET_LEVEL, _USER, _PERCENT, _FREE_MB and _MAX_MB fields, taken
// from the received text (`message`, before the log's escapes); any other
// alert gets no such field, and its priority follows the daemon's level
// switch (2 when it holds "danger", else 4). Every field is UTF-8 and holds no
// control byte (text_escape.h): MESSAGE keeps the log line's escapes, the
// fields taken from the alert are read as Windows-1252 and escaped alike,
// so that neither `journalctl` nor the catalog's text that quotes them
// (`journalctl -x`) can be turned into a control sequence or a forged line.
// BRIMLET_SENDER is the sender's address as text (plain ASCII).
std::string journalEntry(const std::string& logLine, const std::string& message,
                         const std::string& sender);
// The same payload, added to `payload` (whose room is reused).
void appendJournalEntry(std::string* payload, const std::string& logLine,
                        const std::string& message, const std::string& sender);
