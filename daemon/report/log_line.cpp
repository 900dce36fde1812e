#include "log_line.h"

namespace {

bool twoDigits(std::string_view text, std::size_t at, unsigned* value) {
  const char a = text[at];
  const char b = text[at + 1];
  if (a < '0' || a > '9' || b < '0' || b > '9') return false;
  *value = static_cast<unsigned>((a - '0') * 10 + (b - '0'));
  return true;
}

bool isOctal(char c) { return c >= '0' && c <= '7'; }

// The bytes the daemon writes as an escape: the controls, and a '#' that
// would otherwise read as one.
bool escapedByDaemon(unsigned byte) {
  return byte < 0x20 || (byte >= 0x7F && byte <= 0x9F) || byte == '#';
}

}  // namespace

bool readLogTime(std::string_view text, std::uint64_t* key) {
  if (text.size() != 19 || text[2] != '-' || text[5] != '-' || text[10] != ' ' || text[13] != ':' ||
      text[16] != ':') {
    return false;
  }
  unsigned day, month, century, year, hour, minute, second;
  if (!twoDigits(text, 0, &day) || !twoDigits(text, 3, &month) || !twoDigits(text, 6, &century) ||
      !twoDigits(text, 8, &year) || !twoDigits(text, 11, &hour) || !twoDigits(text, 14, &minute) ||
      !twoDigits(text, 17, &second)) {
    return false;
  }
  // A leap second reads :60.
  if (day < 1 || day > 31 || month < 1 || month > 12 || hour > 23 || minute > 59 || second > 60) {
    return false;
  }
  const std::uint64_t date = (century * 100 + year) * 10000ULL + month * 100 + day;
  *key = date * 1000000ULL + hour * 10000ULL + minute * 100 + second;
  return true;
}

bool readLogLine(std::string_view line, LogLine* entry) {
  if (line.size() < 20 || line[19] != ',' || !readLogTime(line.substr(0, 19), &entry->timeKey)) {
    return false;
  }
  entry->time = line.substr(0, 19);
  const std::string_view text = line.substr(20);
  // Most alerts hold no escape: they are taken where they lie.
  // One pass without a branch per byte: any control byte, any '#'.
  bool control = false;
  bool escapes = false;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    control |= (byte < 0x20) | (static_cast<unsigned char>(byte - 0x7F) <= 0x20);
    escapes |= c == '#';
  }
  if (control) return false;
  if (!escapes) {
    entry->alert = text;
    return true;
  }
  entry->decoded.clear();
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '#' && at + 3 < text.size() && isOctal(text[at + 1]) && isOctal(text[at + 2]) &&
        isOctal(text[at + 3])) {
      const unsigned code = (text[at + 1] - '0') * 64u + (text[at + 2] - '0') * 8u +
                            static_cast<unsigned>(text[at + 3] - '0');
      if (code > 0xFF || !escapedByDaemon(code)) return false;
      entry->decoded += static_cast<char>(code);
      at += 3;
    } else {
      entry->decoded += text[at];
    }
  }
  entry->alert = entry->decoded;
  return true;
}
