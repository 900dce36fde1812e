// The forms of the alert host text, as the installer checks them and the
// program tells a name to look up from text that can never be one.
#pragma once

#include <cstddef>
#include <string_view>

// The longest IPv6 address in text form, without zone:
// ffff:ffff:ffff:ffff:ffff:ffff:255.255.255.255.
constexpr std::size_t kLongestIpv6Address = 45;

enum class AlertHostForm {
  NameOrIpv4,   // no colon and no bracket: a host name or an IPv4 address
  Ipv6Address,  // an IPv6 address in text form, optionally with a numeric zone (%3)
  Unspecified,  // the IPv6 address :: in any spelling, to which nothing can be sent
  Bracketed,    // [::1], [::1]:48000: the URL form, which is no address
  WithPort,     // loghost:48000, 192.0.2.1:48000: the port belongs in its own token
  NotAnAddress  // anything else with a colon
};

AlertHostForm AlertHostFormOf(std::string_view host);

// The IPv6 text forms: eight groups of one to four hexadecimal digits
// separated by colons, one run of zero groups written as "::", the last two
// groups optionally as a dotted IPv4 address (::ffff:192.0.2.1). `allZero`
// is set for the unspecified address.
bool IsIpv6Address(std::string_view text, bool* allZero = nullptr);
