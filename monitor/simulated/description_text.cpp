#include "simulated/description_text.h"

#include <cstdio>

namespace {

bool IsControlByte(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7F; }

bool StartsWith(const std::string& text, const char* prefix, size_t length) {
  return text.size() >= length && text.compare(0, length, prefix, length) == 0;
}

// UTF-16 shows as a byte-order mark, or, without one, as a NUL beside each
// ASCII character of the first line.
bool LooksLikeUtf16(const std::string& text, std::string* reason) {
  if (StartsWith(text, "\xFF\xFE", 2) || StartsWith(text, "\xFE\xFF", 2)) {
    *reason =
        "the file is UTF-16 text (it starts with a UTF-16 byte-order mark); "
        "save it as UTF-8 or plain 8-bit text";
    return true;
  }
  if (text.size() >= 2 && (text[0] == '\0') != (text[1] == '\0')) {
    *reason =
        "the file looks like UTF-16 text (every other byte is NUL); "
        "save it as UTF-8 or plain 8-bit text";
    return true;
  }
  return false;
}

}  // namespace

bool SplitDescriptionLines(const std::string& text, std::vector<std::string>* lines,
                           std::string* reason) {
  if (LooksLikeUtf16(text, reason)) return false;
  size_t start = StartsWith(text, "\xEF\xBB\xBF", 3) ? 3 : 0;
  lines->clear();
  // Bounded by the text: every pass moves start forward past one line end.
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines->push_back(text.substr(start));
      break;
    }
    lines->push_back(text.substr(start, end - start));
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return true;
}

size_t FindControlByte(const std::string& line) {
  for (size_t i = 0; i < line.size(); ++i) {
    if (IsControlByte(static_cast<unsigned char>(line[i]))) return i;
  }
  return std::string::npos;
}

std::string Printable(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (IsControlByte(byte)) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      result += escaped;
    } else {
      result += c;
    }
  }
  return result;
}

std::string Quoted(const std::string& text) { return "'" + Printable(text) + "'"; }
