#include "alerts/text_escape.h"

#include <array>
#include <cstdint>

namespace {

// What one byte becomes: nothing to do (it passes), a text of up to four
// bytes, or, for "#", a look at the three bytes after it.
struct Written {
  std::uint8_t size = 0;  // 0: the byte passes as it is
  bool hash = false;
  char text[4] = {};
};
using Table = std::array<Written, 256>;

constexpr Written octalCode(unsigned byte) {
  Written w{};
  w.size = 4;
  w.text[0] = '#';
  w.text[1] = static_cast<char>('0' + (byte >> 6));
  w.text[2] = static_cast<char>('0' + ((byte >> 3) & 7));
  w.text[3] = static_cast<char>('0' + (byte & 7));
  return w;
}

constexpr Written utf8(unsigned codePoint) {
  Written w{};
  if (codePoint < 0x800) {
    w.size = 2;
    w.text[0] = static_cast<char>(0xC0 | (codePoint >> 6));
    w.text[1] = static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    w.size = 3;
    w.text[0] = static_cast<char>(0xE0 | (codePoint >> 12));
    w.text[1] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    w.text[2] = static_cast<char>(0x80 | (codePoint & 0x3F));
  }
  return w;
}

// Windows-1252's characters for 0x80-0x9F; 0 where it defines none.
constexpr unsigned kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 0x88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 0x98
};

constexpr Table makeTable(EscapeForm form) {
  Table table{};
  for (unsigned byte = 0; byte < 256; ++byte) {
    Written& w = table[byte];
    if (byte < 0x20 || byte == 0x7F) {
      w = octalCode(byte);
    } else if (byte == '#') {
      w.hash = form != EscapeForm::LogLineAsJournalText;
    } else if (byte >= 0x80 && byte <= 0x9F) {
      const unsigned character = kWindows1252High[byte - 0x80];
      w = form == EscapeForm::JournalText && character != 0 ? utf8(character) : octalCode(byte);
    } else if (byte >= 0xA0 && form != EscapeForm::LogBytes) {
      w = utf8(byte);  // Latin-1 and Windows-1252 agree from 0xA0 on
    }
  }
  return table;
}

constexpr Table kLogBytes = makeTable(EscapeForm::LogBytes);
constexpr Table kJournalText = makeTable(EscapeForm::JournalText);
constexpr Table kLogLineAsJournalText = makeTable(EscapeForm::LogLineAsJournalText);
constexpr Written kEscapedHash = octalCode('#');

bool isOctalDigit(char c) { return c >= '0' && c <= '7'; }

}  // namespace

void appendEscaped(std::string* out, std::string_view bytes, EscapeForm form) {
  const Table& table = form == EscapeForm::LogBytes      ? kLogBytes
                       : form == EscapeForm::JournalText ? kJournalText
                                                         : kLogLineAsJournalText;
  out->reserve(out->size() + bytes.size() + 16);
  // Runs of bytes that pass are copied at once.
  std::size_t runStart = 0;
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    // Printable ASCII but "#" passes in every form: most alerts are all of
    // it, and skip the table.
    const unsigned char byte = static_cast<unsigned char>(bytes[at]);
    if (byte >= 0x20 && byte < 0x7F && byte != '#') continue;
    const Written* w = &table[byte];
    if (w->hash) {
      if (at + 3 >= bytes.size() || !isOctalDigit(bytes[at + 1]) || !isOctalDigit(bytes[at + 2]) ||
          !isOctalDigit(bytes[at + 3])) {
        continue;
      }
      w = &kEscapedHash;
    } else if (w->size == 0) {
      continue;
    }
    out->append(bytes.data() + runStart, at - runStart);
    out->append(w->text, w->size);
    runStart = at + 1;
  }
  out->append(bytes.data() + runStart, bytes.size() - runStart);
}
