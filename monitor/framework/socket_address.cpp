#include <winsock2.h>
#include <ws2tcpip.h>

#include "framework/socket_address.h"

#include <cstring>

namespace fw {

static_assert(sizeof(sockaddr_in6) <= SocketAddress::kMaxBytes &&
                  sizeof(sockaddr_in) <= SocketAddress::kMaxBytes,
              "both families fit");

std::optional<SocketAddress> NumericAddress(const char* host, int port) {
  if (host == nullptr) return std::nullopt;
  SocketAddress address;
  // inet_addr first: it takes the IPv4 forms the alert host has always been
  // given in, which the strict numeric parsing of getaddrinfo may not.
  sockaddr_in ipv4{};
  ipv4.sin_family = AF_INET;
  ipv4.sin_port = htons(static_cast<u_short>(port));
  ipv4.sin_addr.s_addr = inet_addr(host);
  if (ipv4.sin_addr.s_addr != INADDR_NONE || std::strcmp(host, "255.255.255.255") == 0) {
    std::memcpy(address.bytes, &ipv4, sizeof ipv4);
    address.length = sizeof ipv4;
    return address;
  }
  addrinfo hints{};
  hints.ai_family = AF_INET6;
  hints.ai_socktype = SOCK_DGRAM;
  hints.ai_flags = AI_NUMERICHOST;
  addrinfo* found = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr) return std::nullopt;
  sockaddr_in6 ipv6{};
  const bool usable = found->ai_family == AF_INET6 && found->ai_addrlen == sizeof ipv6;
  if (usable) std::memcpy(&ipv6, found->ai_addr, sizeof ipv6);
  freeaddrinfo(found);
  if (!usable) return std::nullopt;
  ipv6.sin6_port = htons(static_cast<u_short>(port));
  std::memcpy(address.bytes, &ipv6, sizeof ipv6);
  address.length = sizeof ipv6;
  return address;
}

}  // namespace fw
