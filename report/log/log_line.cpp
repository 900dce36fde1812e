#include "log/log_line.h"

#include <cstring>

namespace {

bool isOctal(char c) { return c >= '0' && c <= '7'; }

// The bytes the daemon writes as an escape: the controls, and a '#' that
// would otherwise read as one.
bool escapedByDaemon(unsigned byte) {
  return byte < 0x20 || (byte >= 0x7F && byte <= 0x9F) || byte == '#';
}

// The bytes a line is looked at for: any control byte (C0, DEL, C1), and
// the '#' that starts an escape.
struct Marks {
  bool control = false;
  bool escapes = false;

  void add(unsigned char byte) {
    control |= (byte < 0x20) | (static_cast<unsigned char>(byte - 0x7F) <= 0x20);
    escapes |= byte == '#';
  }
};

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

std::uint64_t wordAt(const char* at) {
  std::uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// The high bit of a byte of the result set where that byte of `word` may be
// marked: below 0x20, '#', DEL or any byte from 0x80 on (a Latin-1 letter
// too). From 0x7F up, the byte or the byte plus one has its high bit set;
// only a byte that has it already carries into its neighbour. Below a
// limit: byte - limit has its high bit set; a borrow or a high bit that is
// not the byte's own starts at a lower byte that is marked itself, so the
// answer is exact as a yes or no for the word, which is all that is asked
// (a byte from 0x80 on is marked anyway: no "& ~byte" is needed). '#' is the
// byte that xor '#' leaves below 1. Only the high bits count: the caller
// masks them once for all the words.
std::uint64_t suspects(std::uint64_t word) {
  const std::uint64_t hash = word ^ (kOnes * '#');
  return word | (word + kOnes) | (word - kOnes * 0x20) | (hash - kOnes);
}

// Eight bytes at a time, the last word overlapping the one before: plain
// ASCII text, nearly every line, passes in a few operations a word; a line
// with a suspect byte anywhere is then looked at byte by byte.
Marks marksOf(std::string_view text) {
  Marks marks;
  const char* const data = text.data();
  const std::size_t size = text.size();
  if (size >= 8) {
    std::uint64_t suspect = suspects(wordAt(data + size - 8));
    for (std::size_t at = 0; at + 8 <= size; at += 8) suspect |= suspects(wordAt(data + at));
    if ((suspect & kHighBits) == 0) return marks;
  }
  for (const char c : text) marks.add(static_cast<unsigned char>(c));
  return marks;
}

// "dd-MM-yyyy HH:mm:ss" as masks for a word at a time, so that the byte
// order of a word does not matter: a byte is a digit when its high half is
// 3 and adding 6 leaves it 3 (no carry can cross into the next byte).
struct TimeForm {
  static constexpr std::size_t size = 19;
  char form[size + 1] = "00-00-0000 00:00:00";
  char mask[size] = {};
  char add[size] = {};
  char digitMask[size] = {};
  char digitWant[size] = {};

  constexpr TimeForm() {
    for (std::size_t i = 0; i < size; ++i) {
      const bool digit = form[i] == '0';
      mask[i] = static_cast<char>(digit ? 0xF0 : 0xFF);
      add[i] = digit ? 6 : 0;
      digitMask[i] = static_cast<char>(digit ? 0xF0 : 0);
      digitWant[i] = digit ? 0x30 : 0;
    }
  }
};
constexpr TimeForm kTimeForm;

// Two digits as a number, written into `text`.
void putTwoDigits(char* text, unsigned value) {
  text[0] = static_cast<char>('0' + value / 10 % 10);
  text[1] = static_cast<char>('0' + value % 10);
}

}  // namespace

std::string logTimeText(std::uint64_t key) {
  std::string text = "dd-MM-yyyy HH:mm:ss";
  putTwoDigits(&text[0], key / 1000000 % 100);
  putTwoDigits(&text[3], key / 100000000 % 100);
  putTwoDigits(&text[6], key / 1000000000000ULL % 100);
  putTwoDigits(&text[8], key / 10000000000ULL % 100);
  putTwoDigits(&text[11], key / 10000 % 100);
  putTwoDigits(&text[14], key / 100 % 100);
  putTwoDigits(&text[17], key % 100);
  return text;
}

bool readLogTime(std::string_view text, std::uint64_t* key) {
  if (text.size() != kTimeForm.size) return false;
  const char* const data = text.data();
  // Three overlapping words cover the 19 bytes.
  const auto formed = [data](std::size_t at) {
    const std::uint64_t word = wordAt(data + at);
    return (word & wordAt(kTimeForm.mask + at)) == wordAt(kTimeForm.form + at) &&
           ((word + wordAt(kTimeForm.add + at)) & wordAt(kTimeForm.digitMask + at)) ==
               wordAt(kTimeForm.digitWant + at);
  };
  if (!formed(0) || !formed(8) || !formed(kTimeForm.size - 8)) return false;
  const auto two = [data](std::size_t at) {
    return static_cast<unsigned>((data[at] - '0') * 10 + (data[at + 1] - '0'));
  };
  const unsigned day = two(0), month = two(3), century = two(6), year = two(8), hour = two(11),
                 minute = two(14), second = two(17);
  // A leap second reads :60.
  if (day < 1 || day > 31 || month < 1 || month > 12 || hour > 23 || minute > 59 || second > 60) {
    return false;
  }
  const std::uint64_t date = (century * 100 + year) * 10000ULL + month * 100 + day;
  *key = date * 1000000ULL + hour * 10000ULL + minute * 100 + second;
  return true;
}

namespace {

// The time at the start of a log line: the bytes up to the seconds are
// those of a time read before (so as good as they were then), or are read
// whole and kept for the next line.
bool readLineTime(std::string_view line, LogLine* entry) {
  constexpr std::size_t kMinute = sizeof entry->minute;
  const char* const data = line.data();
  // The 17 bytes as three overlapping words: a few loads, not a call.
  static_assert(kMinute == 17, "three words cover the minute");
  if (entry->minuteKey != 0 && wordAt(data) == wordAt(entry->minute) &&
      wordAt(data + 8) == wordAt(entry->minute + 8) &&
      wordAt(data + 9) == wordAt(entry->minute + 9)) {
    const unsigned tens = static_cast<unsigned char>(data[kMinute]) - '0';
    const unsigned ones = static_cast<unsigned char>(data[kMinute + 1]) - '0';
    if (tens > 9 || ones > 9 || tens * 10 + ones > 60) return false;
    entry->timeKey = entry->minuteKey + tens * 10 + ones;
    return true;
  }
  if (!readLogTime(line.substr(0, 19), &entry->timeKey)) return false;
  std::memcpy(entry->minute, data, kMinute);
  entry->minuteKey = entry->timeKey - entry->timeKey % 100;
  return true;
}

}  // namespace

bool readLogLineTime(std::string_view line, LogLine* entry) {
  return line.size() >= 20 && line[19] == ',' && readLineTime(line, entry);
}

bool plainAlertText(std::string_view text) {
  const Marks marks = marksOf(text);
  return !marks.control && !marks.escapes;
}

bool readLogLine(std::string_view line, LogLine* entry) {
  if (!readLogLineTime(line, entry)) return false;
  entry->time = line.substr(0, 19);
  const std::string_view text = line.substr(20);
  // Most alerts hold no escape: they are taken where they lie.
  const Marks marks = marksOf(text);
  if (marks.control) return false;
  if (!marks.escapes) {
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
