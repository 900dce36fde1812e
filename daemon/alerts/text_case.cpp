#include "alerts/text_case.h"

std::string toUpperLatin1(const std::string& text) {
  std::string upper = text;
  toUpperLatin1(&upper);
  return upper;
}

void toUpperLatin1(std::string* text) {
  for (char& c : *text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    const bool asciiLower = byte >= 'a' && byte <= 'z';
    const bool latin1Lower = byte >= 0xE0 && byte <= 0xFE && byte != 0xF7;
    if (asciiLower || latin1Lower) c = static_cast<char>(byte - 0x20);
  }
}
