// A sender's address, and the prefixes of --allow: parsed and shown the same
// way on every platform.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// An IPv4 or IPv6 address. IPv4 is held as an IPv4-mapped IPv6 address
// (::ffff:a.b.c.d), the form a dual-stack socket reports an IPv4 sender in,
// so that both kinds compare alike; it is shown and matched as IPv4.
struct SenderAddress {
  std::uint8_t bytes[16];

  static SenderAddress fromIPv4(const std::uint8_t four[4]);
  static SenderAddress fromIPv6(const std::uint8_t sixteen[16]);

  bool isIPv4() const;
  bool isUnspecified() const;  // 0.0.0.0 or ::
  // The four bytes of an IPv4 address.
  const std::uint8_t* ipv4() const { return bytes + 12; }

  bool operator==(const SenderAddress& other) const {
    return std::memcmp(bytes, other.bytes, sizeof bytes) == 0;
  }
  bool operator!=(const SenderAddress& other) const { return !(*this == other); }
};

// Dotted IPv4 (four decimal numbers of 0 to 255 without leading zeros, which
// some readers take for octal) or IPv6 text as RFC 4291 writes it, with "::"
// and a dotted IPv4 tail; nothing else: no zone, no brackets, no blanks.
bool parseAddress(std::string_view text, SenderAddress* address);

// IPv4 dotted; IPv6 as RFC 5952 writes it (lower case, the longest run of
// zero groups as "::").
std::string formatAddress(const SenderAddress& address);

// An address with the number of leading bits that must match. An IPv4 prefix
// matches IPv4 senders only (those on a dual-stack socket included), an IPv6
// one IPv6 senders only.
class SenderPrefix {
 public:
  // "ADDRESS" or "ADDRESS/BITS" (0 to 32 for IPv4, 0 to 128 for IPv6); bits
  // past the prefix length are cleared. ::ffff:a.b.c.d/BITS with at least 96
  // bits is the IPv4 prefix it stands for. Answers false for anything else.
  static bool parse(std::string_view text, SenderPrefix* prefix);

  bool matches(const SenderAddress& address) const;

  // "10.0.0.0/8", "fd00::/8"; a whole address without "/BITS".
  std::string text() const;

 private:
  SenderAddress base_{};
  int bits_ = 0;  // of the 128 of base_, the IPv4 ones counting from 96
  bool ipv4_ = false;
};
