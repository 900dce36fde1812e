#include "alerts/alert_form.h"

#include <cstring>

#include "alerts/text_case.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Removes `tail` (a literal) from the end of `text` when it is there; a
// template so that each tail is compared inline, a few bytes from the back.
template <std::size_t N>
bool cutSuffix(std::string_view* text, const char (&tail)[N]) {
  constexpr std::size_t size = N - 1;
  // A compare of a constant size against zero is a few loads, not a call.
  if (text->size() < size || std::memcmp(text->data() + text->size() - size, tail, size) != 0) {
    return false;
  }
  text->remove_suffix(size);
  return true;
}

// Removes `head` (a literal) from the start of `text` when it is there.
template <std::size_t N>
bool cutPrefix(std::string_view* text, const char (&head)[N]) {
  constexpr std::size_t size = N - 1;
  if (text->size() < size || std::memcmp(text->data(), head, size) != 0) return false;
  text->remove_prefix(size);
  return true;
}

// How many digits end `text`.
inline std::size_t trailingDigits(std::string_view text) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* at = end;
  while (at != begin && static_cast<unsigned char>(at[-1] - '0') <= 9) --at;
  return static_cast<std::size_t>(end - at);
}

// Cuts an integer as printf's "%d" writes it off the end of `text`; it must
// follow `before`.
inline bool cutInteger(std::string_view* text, char before, std::string_view* number) {
  std::size_t digits = trailingDigits(*text);
  // An int has at most ten digits; "%d" writes no leading zero.
  if (digits == 0 || digits > 10) return false;
  std::size_t start = text->size() - digits;
  if (digits > 1 && (*text)[start] == '0') return false;
  if (start > 0 && (*text)[start - 1] == '-') --start;
  if (start == 0 || (*text)[start - 1] != before) return false;
  *number = text->substr(start);
  text->remove_suffix(text->size() - start + 1);
  return true;
}

// Cuts a "%.2lf" figure followed by " Mb" and `word` off the end of `text`;
// it must follow a comma.
template <std::size_t N>
bool cutSize(std::string_view* text, const char (&tail)[N], std::string_view* figure) {
  if (!cutSuffix(text, tail)) return false;
  const std::string_view withFigure = *text;
  // Exactly two decimals after the point.
  const std::size_t size = text->size();
  if (size < 3 || !isDigit((*text)[size - 1]) || !isDigit((*text)[size - 2]) ||
      (*text)[size - 3] != '.') {
    return false;
  }
  text->remove_suffix(3);
  std::string_view whole;
  if (!cutInteger(text, ',', &whole)) return false;
  // cutInteger took the comma too: the figure is what lies after it.
  *figure = withFigure.substr(text->size() + 1);
  return true;
}

}  // namespace

bool parseMonitorAlert(std::string_view text, MonitorAlert* alert) {
  AlertLevel level;
  if (cutPrefix(&text, "Warning,")) {
    level = AlertLevel::Warning;
  } else if (cutPrefix(&text, "Danger,")) {
    level = AlertLevel::Danger;
  } else {
    return false;
  }
  std::string_view rest = text;
  std::string_view maxMb;
  std::string_view freeMb;
  std::string_view percent;
  if (!cutSize(&rest, " Mb max", &maxMb)) return false;
  if (!cutSize(&rest, " Mb free", &freeMb)) return false;
  if (!cutSuffix(&rest, "%")) return false;
  if (!cutInteger(&rest, ',', &percent)) return false;
  if (rest.empty()) return false;
  *alert = MonitorAlert{level, rest, percent, freeMb, maxMb};
  return true;
}

bool mentionsDanger(const std::string& text) {
  return toUpperLatin1(text).find("DANGER") != std::string::npos;
}

std::string latin1ToUtf8(std::string_view text) {
  std::string utf8;
  appendLatin1AsUtf8(&utf8, text);
  return utf8;
}

void appendLatin1AsUtf8(std::string* out, std::string_view text) {
  // Plain ASCII, nearly every name, is its own UTF-8.
  bool ascii = true;
  for (const char c : text) ascii &= static_cast<unsigned char>(c) < 0x80;
  if (ascii) {
    *out += text;
    return;
  }
  out->reserve(out->size() + text.size() + 8);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      *out += c;
    } else {
      *out += static_cast<char>(0xC0 | (byte >> 6));
      *out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
}
