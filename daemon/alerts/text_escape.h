// The one escaping of an alert's bytes, for every output: the log file, the
// console and the journal.
#pragma once

#include <string>
#include <string_view>

// Every output gets the alert's bytes through appendEscaped, once, so that a
// new output cannot forget it. A byte that would be a control character in
// the output's character set is written as "#" and its three-digit octal
// code ("#033" for an escape, "#012" for a line end), and so is a "#" that
// the alert holds before three octal digits ("#043"), so that every "#" and
// three octal digits is an escape and the alert's bytes can be told back.
// The forms differ only in how they write the bytes that are text:
enum class EscapeForm {
  // The log file and the console: bytes as received (Latin-1, so that a
  // reader of 8-bit text sees no control either); escaped are the C0
  // controls 0x00-0x1F, DEL 0x7F and the C1 controls 0x80-0x9F (0x9B alone
  // starts a control sequence on an 8-bit terminal, 0x85 is a line break to
  // some readers). The log's lines have been written this way from the
  // start, and their readers rely on it.
  LogBytes,
  // The journal's fields, which are UTF-8: the alert read as Windows-1252,
  // as the monitors send it (0x80 is "€", 0x92 "’"); the C0 controls, DEL
  // and the five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F,
  // 0x90, 0x9D) are escaped.
  JournalText,
  // A line already escaped as LogBytes, as UTF-8 for the journal's MESSAGE:
  // its escapes stay as they are, its Latin-1 letters become UTF-8. A control
  // byte it should not hold is escaped all the same.
  LogLineAsJournalText,
};

// Appends `bytes` to *out in the given form, in one pass.
void appendEscaped(std::string* out, std::string_view bytes, EscapeForm form);

inline std::string escaped(std::string_view bytes, EscapeForm form) {
  std::string out;
  appendEscaped(&out, bytes, form);
  return out;
}
