#include "receive/sender_address.h"

#include <cstdio>

namespace {

constexpr std::uint8_t kMappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A decimal number of at most `most`, without sign, blanks or leading zeros.
bool parseDecimal(std::string_view text, unsigned most, unsigned* value) {
  if (text.empty() || text.size() > 10 || (text.size() > 1 && text[0] == '0')) return false;
  unsigned long long number = 0;
  for (char c : text) {
    if (!isDigit(c)) return false;
    number = number * 10 + static_cast<unsigned>(c - '0');
  }
  if (number > most) return false;
  *value = static_cast<unsigned>(number);
  return true;
}

bool parseIPv4(std::string_view text, std::uint8_t out[4]) {
  for (int part = 0; part < 4; ++part) {
    const std::size_t dot = text.find('.');
    if ((part < 3) != (dot != std::string_view::npos)) return false;
    unsigned value = 0;
    if (!parseDecimal(text.substr(0, dot), 255, &value)) return false;
    out[part] = static_cast<std::uint8_t>(value);
    text = part < 3 ? text.substr(dot + 1) : std::string_view();
  }
  return true;
}

bool parseIPv6(std::string_view text, std::uint8_t out[16]) {
  std::uint16_t groups[8] = {};
  int count = 0;
  int gap = -1;  // where "::" stands, in groups
  std::size_t i = 0;
  if (text.substr(0, 2) == "::") {
    gap = 0;
    i = 2;
  }
  while (i < text.size()) {
    const std::size_t colon = text.find(':', i);
    const std::string_view part =
        text.substr(i, colon == std::string_view::npos ? colon : colon - i);
    if (part.find('.') != std::string_view::npos) {
      // A dotted IPv4 tail: the last two groups.
      std::uint8_t four[4];
      if (colon != std::string_view::npos || count > 6 || !parseIPv4(part, four)) return false;
      groups[count++] = static_cast<std::uint16_t>(four[0] << 8 | four[1]);
      groups[count++] = static_cast<std::uint16_t>(four[2] << 8 | four[3]);
      break;
    }
    if (part.empty() || part.size() > 4 || count == 8) return false;
    unsigned value = 0;
    for (char c : part) {
      const int digit = hexValue(c);
      if (digit < 0) return false;
      value = value * 16 + static_cast<unsigned>(digit);
    }
    groups[count++] = static_cast<std::uint16_t>(value);
    if (colon == std::string_view::npos) break;
    i = colon + 1;
    if (i < text.size() && text[i] == ':') {
      if (gap >= 0) return false;
      gap = count;
      ++i;
    } else if (i == text.size()) {
      return false;  // a single colon at the end
    }
  }
  // "::" stands for at least one group.
  if (gap < 0 ? count != 8 : count > 7) return false;
  std::uint16_t full[8] = {};
  const int tail = gap < 0 ? 0 : count - gap;
  for (int g = 0; g < count - tail; ++g) full[g] = groups[g];
  for (int g = 0; g < tail; ++g) full[8 - tail + g] = groups[gap + g];
  for (int g = 0; g < 8; ++g) {
    out[2 * g] = static_cast<std::uint8_t>(full[g] >> 8);
    out[2 * g + 1] = static_cast<std::uint8_t>(full[g] & 0xFF);
  }
  return true;
}

}  // namespace

SenderAddress SenderAddress::fromIPv4(const std::uint8_t four[4]) {
  SenderAddress address{};
  std::memcpy(address.bytes, kMappedPrefix, sizeof kMappedPrefix);
  std::memcpy(address.bytes + 12, four, 4);
  return address;
}

SenderAddress SenderAddress::fromIPv6(const std::uint8_t sixteen[16]) {
  SenderAddress address{};
  std::memcpy(address.bytes, sixteen, 16);
  return address;
}

bool SenderAddress::isIPv4() const {
  return std::memcmp(bytes, kMappedPrefix, sizeof kMappedPrefix) == 0;
}

bool SenderAddress::isUnspecified() const {
  const std::uint8_t* from = isIPv4() ? bytes + 12 : bytes;
  const std::uint8_t* end = bytes + 16;
  for (; from != end; ++from) {
    if (*from != 0) return false;
  }
  return true;
}

bool parseAddress(std::string_view text, SenderAddress* address) {
  std::uint8_t bytes[16];
  if (text.find(':') == std::string_view::npos) {
    if (!parseIPv4(text, bytes)) return false;
    *address = SenderAddress::fromIPv4(bytes);
    return true;
  }
  if (!parseIPv6(text, bytes)) return false;
  *address = SenderAddress::fromIPv6(bytes);
  return true;
}

std::string formatAddress(const SenderAddress& address) {
  char text[48];
  if (address.isIPv4()) {
    const std::uint8_t* four = address.ipv4();
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", four[0], four[1], four[2], four[3]);
    return text;
  }
  unsigned groups[8];
  for (int g = 0; g < 8; ++g) groups[g] = address.bytes[2 * g] << 8 | address.bytes[2 * g + 1];
  // The longest run of two or more zero groups, the first of equal ones.
  int bestStart = -1, bestLength = 1;
  for (int g = 0; g < 8;) {
    int end = g;
    while (end < 8 && groups[end] == 0) ++end;
    if (end - g > bestLength) {
      bestStart = g;
      bestLength = end - g;
    }
    g = end == g ? g + 1 : end;
  }
  std::string result;
  for (int g = 0; g < 8; ++g) {
    if (g == bestStart) {
      result += "::";
      g += bestLength - 1;
      continue;
    }
    if (!result.empty() && result.back() != ':') result += ':';
    std::snprintf(text, sizeof text, "%x", groups[g]);
    result += text;
  }
  return result;
}

bool SenderPrefix::parse(std::string_view text, SenderPrefix* prefix) {
  const std::size_t slash = text.find('/');
  SenderAddress base;
  if (!parseAddress(text.substr(0, slash), &base)) return false;
  const bool ipv4 = base.isIPv4();
  const bool writtenAsIPv4 = text.substr(0, slash).find(':') == std::string_view::npos;
  unsigned bits = 128;
  if (slash != std::string_view::npos &&
      !parseDecimal(text.substr(slash + 1), writtenAsIPv4 ? 32 : 128, &bits)) {
    return false;
  }
  if (writtenAsIPv4 && slash != std::string_view::npos) bits += 96;
  SenderPrefix result;
  // ::ffff:0:0/95 and shorter cover more than the IPv4 addresses: an IPv6
  // prefix, which no IPv4 sender matches.
  result.ipv4_ = ipv4 && bits >= 96;
  result.bits_ = static_cast<int>(bits);
  result.base_ = base;
  for (int bit = result.bits_; bit < 128; ++bit) {
    result.base_.bytes[bit / 8] &= static_cast<std::uint8_t>(~(0x80u >> (bit % 8)));
  }
  *prefix = result;
  return true;
}

bool SenderPrefix::matches(const SenderAddress& address) const {
  if (address.isIPv4() != ipv4_) return false;
  const int whole = bits_ / 8;
  if (std::memcmp(address.bytes, base_.bytes, static_cast<std::size_t>(whole)) != 0) return false;
  const int rest = bits_ % 8;
  if (rest == 0) return true;
  const auto mask = static_cast<std::uint8_t>(0xFF00u >> rest);
  return (address.bytes[whole] & mask) == base_.bytes[whole];
}

std::string SenderPrefix::text() const {
  const int shown = ipv4_ ? bits_ - 96 : bits_;
  const std::string address = formatAddress(base_);
  return shown == (ipv4_ ? 32 : 128) ? address : address + "/" + std::to_string(shown);
}
