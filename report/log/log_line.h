// One line of a BrimletD log read back: its reception time and the alert.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "dd-MM-yyyy HH:mm:ss" as a number that sorts as the time does
// (yyyyMMddHHmmss); false for any other text or an impossible date.
bool readLogTime(std::string_view text, std::uint64_t* key);

// The text readLogTime read `key` from: it takes only two digits per field,
// so the text is the key's one spelling.
std::string logTimeText(std::uint64_t key);

// A log entry: the time as written and the alert as the daemon received it.
struct LogLine {
  std::string_view time;  // "dd-MM-yyyy HH:mm:ss"
  std::uint64_t timeKey;
  std::string_view alert;  // the log's "#ooo" escapes decoded back to bytes
  std::string decoded;     // holds the alert when it had escapes
  // The minute of the last line whose time was read ("dd-MM-yyyy HH:mm:")
  // and its key without the seconds: a line of the same minute, as most
  // lines of a busy log are, needs only its seconds read.
  char minute[17] = {};
  std::uint64_t minuteKey = 0;
};

// Reads one line (without its line end; a CR before it is the Windows
// daemon's and is dropped by the caller). False for anything the daemon
// cannot have written: no valid time, a raw control byte, an escape it
// never writes ("#101", "#777"). Such a line is never taken apart further.
bool readLogLine(std::string_view line, LogLine* entry);

// readLogLine's first step: the time at the line's start and the comma
// after it (sets entry->timeKey only).
bool readLogLineTime(std::string_view line, LogLine* entry);

// True when `text` holds no control byte and no '#': an alert that is
// taken as it lies.
bool plainAlertText(std::string_view text);
