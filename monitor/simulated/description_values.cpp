#include "simulated/description_values.h"

#include <cctype>

#include "simulated/description_text.h"

namespace {

enum class NumberProblem { None, Missing, NotANumber, TooLarge };

// Anything beyond this is out of every range a description uses; stopping
// there keeps the arithmetic far from overflow however long the digits run.
constexpr uint64_t kLargestRead = uint64_t(1) << 40;

int DigitValue(char c, int base) {
  unsigned char u = static_cast<unsigned char>(c);
  int digit = std::isdigit(u) ? c - '0' : std::isxdigit(u) ? std::tolower(u) - 'a' + 10 : 99;
  return digit < base ? digit : -1;
}

// Decimal with an optional '-', or 0x hexadecimal; leading zeros are fine.
NumberProblem ReadNumber(const std::string& text, int64_t* value, bool* hex) {
  if (text.empty()) return NumberProblem::Missing;
  size_t i = text[0] == '-' ? 1 : 0;
  *hex = text.size() > i + 1 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X');
  if (*hex && i == 1) return NumberProblem::NotANumber;
  if (*hex) i += 2;
  if (i == text.size()) return NumberProblem::NotANumber;
  int base = *hex ? 16 : 10;
  uint64_t magnitude = 0;
  bool tooLarge = false;
  for (; i < text.size(); ++i) {
    int digit = DigitValue(text[i], base);
    if (digit < 0) return NumberProblem::NotANumber;
    if (magnitude > kLargestRead) {
      tooLarge = true;
    } else {
      magnitude = magnitude * base + static_cast<uint64_t>(digit);
    }
  }
  if (tooLarge || magnitude > kLargestRead) return NumberProblem::TooLarge;
  *value = text[0] == '-' ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  return NumberProblem::None;
}

std::string OutOfRange(const std::string& what, const std::string& value,
                       const std::string& range) {
  return what + " " + Quoted(value) + " is out of range (" + range + ")";
}

// Reads the number and checks it against [low, high]; range names the range
// for the message.
bool ReadInRange(const std::string& what, const std::string& value, int64_t low, int64_t high,
                 const std::string& range, int64_t* out, bool* hex, std::string* reason) {
  switch (ReadNumber(value, out, hex)) {
    case NumberProblem::Missing:
      *reason = what + " needs a value";
      return false;
    case NumberProblem::NotANumber:
      *reason = what + " " + Quoted(value) + " is not a number (decimal or 0x hexadecimal)";
      return false;
    case NumberProblem::TooLarge:
      *reason = OutOfRange(what, value, range);
      return false;
    case NumberProblem::None:
      break;
  }
  if (*out < low || *out > high) {
    *reason = OutOfRange(what, value, range);
    return false;
  }
  return true;
}

}  // namespace

std::string Trim(const std::string& text) {
  size_t start = 0;
  size_t end = text.size();
  while (start < end && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
  while (end > start && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(start, end - start);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string FirstWord(const std::string& text, std::string* rest) {
  size_t end = 0;
  while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
  *rest = Trim(text.substr(end));
  return text.substr(0, end);
}

bool ReadUnsigned(const std::string& what, const std::string& value, uint32_t max, uint32_t* out,
                  std::string* reason) {
  int64_t number = 0;
  bool hex = false;
  if (!ReadInRange(what, value, 0, max, "0 to " + std::to_string(max), &number, &hex, reason)) {
    return false;
  }
  *out = static_cast<uint32_t>(number);
  return true;
}

bool ReadSigned(const std::string& what, const std::string& value, int32_t* out,
                std::string* reason) {
  int64_t number = 0;
  bool hex = false;
  const char* range = "a signed 32-bit value: -2147483648 to 2147483647, or 0x0 to 0xFFFFFFFF";
  if (!ReadInRange(what, value, INT32_MIN, UINT32_MAX, range, &number, &hex, reason)) {
    return false;
  }
  // Hexadecimal gives the raw bits; a decimal number must fit as it stands.
  if (!hex && number > INT32_MAX) {
    *reason = OutOfRange(what, value, range);
    return false;
  }
  *out = static_cast<int32_t>(static_cast<uint32_t>(number));
  return true;
}

bool ReadStatus(const std::string& what, const std::string& value, uint32_t* out,
                std::string* reason) {
  int64_t number = 0;
  bool hex = false;
  if (!ReadInRange(what, value, INT32_MIN, UINT32_MAX,
                   "a 32-bit status: -2147483648 to 4294967295, or 0x0 to 0xFFFFFFFF", &number,
                   &hex, reason)) {
    return false;
  }
  *out = static_cast<uint32_t>(number);
  return true;
}

bool IsYesNo(const std::string& value) {
  std::string word = Lower(value);
  return word == "yes" || word == "true" || word == "no" || word == "false";
}

bool ReadYesNo(const std::string& what, const std::string& value, bool* out, std::string* reason) {
  if (value.empty()) {
    *reason = what + " needs a value (yes or no)";
    return false;
  }
  if (!IsYesNo(value)) {
    *reason = what + " " + Quoted(value) + " is not yes or no";
    return false;
  }
  std::string word = Lower(value);
  *out = word == "yes" || word == "true";
  return true;
}

bool ReadText(const std::string& what, const std::string& value, size_t maxLength, std::string* out,
              std::string* reason) {
  if (value.empty()) {
    *reason = what + " needs a value";
    return false;
  }
  if (value.size() > maxLength) {
    *reason = what + " is longer than " + std::to_string(maxLength) + " characters";
    return false;
  }
  if (value.find('\t') != std::string::npos) {
    *reason = what + " holds a tab; names and paths take blanks only";
    return false;
  }
  *out = value;
  return true;
}

bool SplitList(const std::string& what, const std::string& value, std::vector<std::string>* fields,
               std::string* reason) {
  fields->clear();
  if (value.empty()) return true;
  size_t start = 0;
  // Bounded by the value: every pass consumes one field and its comma.
  while (true) {
    size_t comma = value.find(',', start);
    std::string field =
        Trim(value.substr(start, comma == std::string::npos ? comma : comma - start));
    if (field.empty()) {
      if (comma == std::string::npos) {
        *reason = what + " ends with a comma";
      } else if (start == 0) {
        *reason = what + " starts with a comma";
      } else {
        *reason = what + " has two commas with nothing between them";
      }
      return false;
    }
    fields->push_back(field);
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}
