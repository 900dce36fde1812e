// One destination of either family, IPv4 or IPv6, as the socket layer gives
// it; kept as bytes so that users need not include the Winsock headers.
#pragma once

#include <optional>

namespace fw {

struct SocketAddress {
  static constexpr int kMaxBytes = 28;  // a sockaddr_in6, the larger of the two
  unsigned char bytes[kMaxBytes] = {};
  int length = 0;
};

// The address of a host written as an address, without any lookup: an IPv4
// address in every form the system has always taken (192.0.2.1, and the old
// short forms such as 0 for 0.0.0.0) or an IPv6 address (::1, fd00::10,
// fe80::1%3), with the low 16 bits of `port`. Nothing for a name.
std::optional<SocketAddress> NumericAddress(const char* host, int port);

}  // namespace fw
