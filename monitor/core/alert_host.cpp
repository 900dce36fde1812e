#include "core/alert_host.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Four decimal parts of 0 to 255 without leading zeros, as the socket
// layer's strict IPv6 parsing takes them inside an IPv6 address.
bool IsDottedQuad(std::string_view text, bool& allZero) {
  int parts = 0;
  while (true) {
    std::size_t digits = 0;
    int value = 0;
    while (digits < text.size() && IsDigit(text[digits])) {
      value = value * 10 + (text[digits] - '0');
      if (++digits > 3) return false;
    }
    if (digits == 0 || value > 255 || (digits > 1 && text[0] == '0')) return false;
    if (value != 0) allZero = false;
    text.remove_prefix(digits);
    if (++parts == 4) return text.empty();
    if (text.empty() || text[0] != '.') return false;
    text.remove_prefix(1);
  }
}

// The groups of one side of "::" (or of the whole address): how many there
// are, a dotted IPv4 tail counting as two; -1 when malformed.
int Groups(std::string_view text, bool ipv4TailAllowed, bool& allZero) {
  if (text.empty()) return 0;
  int groups = 0;
  while (true) {
    const std::size_t colon = text.find(':');
    const std::string_view group = text.substr(0, colon);
    if (colon == std::string_view::npos && ipv4TailAllowed &&
        group.find('.') != std::string_view::npos) {
      return IsDottedQuad(group, allZero) ? groups + 2 : -1;
    }
    if (group.empty() || group.size() > 4) return -1;
    for (char c : group) {
      if (!IsHexDigit(c)) return -1;
      if (c != '0') allZero = false;
    }
    ++groups;
    if (colon == std::string_view::npos) return groups;
    text.remove_prefix(colon + 1);
  }
}

bool IsPort(std::string_view text) {
  if (text.empty() || text.size() > 5) return false;
  for (char c : text) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

}  // namespace

bool IsIpv6Address(std::string_view text, bool* allZero) {
  bool zero = true;
  // A zone: the interface number Windows appends to a link-local address.
  const std::size_t percent = text.find('%');
  if (percent != std::string_view::npos) {
    const std::string_view zone = text.substr(percent + 1);
    if (zone.empty() || zone.size() > 10) return false;
    for (char c : zone) {
      if (!IsDigit(c)) return false;
    }
    text = text.substr(0, percent);
  }
  const std::size_t gap = text.find("::");
  int groups = 0;
  if (gap == std::string_view::npos) {
    groups = Groups(text, true, zero);
    if (groups != 8) return false;
  } else {
    const std::string_view after = text.substr(gap + 2);
    if (after.find("::") != std::string_view::npos) return false;
    const int before = Groups(text.substr(0, gap), false, zero);
    const int behind = Groups(after, true, zero);
    if (before < 0 || behind < 0 || before + behind > 7) return false;
  }
  if (allZero != nullptr) *allZero = zero;
  return true;
}

AlertHostForm AlertHostFormOf(std::string_view host) {
  if (host.find_first_of("[]") != std::string_view::npos) return AlertHostForm::Bracketed;
  const std::size_t colon = host.find(':');
  if (colon == std::string_view::npos) return AlertHostForm::NameOrIpv4;
  bool allZero = false;
  if (IsIpv6Address(host, &allZero)) {
    return allZero ? AlertHostForm::Unspecified : AlertHostForm::Ipv6Address;
  }
  if (host.find(':', colon + 1) == std::string_view::npos && colon > 0 &&
      IsPort(host.substr(colon + 1))) {
    return AlertHostForm::WithPort;
  }
  return AlertHostForm::NotAnAddress;
}
