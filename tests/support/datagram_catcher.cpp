#include "datagram_catcher.h"

#include <ws2tcpip.h>

DatagramCatcher::DatagramCatcher(int family) {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  socket_ = socket(family, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in6 local{};  // large enough for both; the port sits at the same place
  local.sin6_family = static_cast<ADDRESS_FAMILY>(family);
  int length = sizeof local;
  if (family == AF_INET) {
    reinterpret_cast<sockaddr_in*>(&local)->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    length = sizeof(sockaddr_in);
  } else {
    local.sin6_addr = in6addr_loopback;
  }
  bind(socket_, reinterpret_cast<sockaddr*>(&local), length);
  getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &length);
  port_ = ntohs(local.sin6_port);
}

DatagramCatcher::~DatagramCatcher() {
  closesocket(socket_);
  WSACleanup();
}

std::vector<std::string> DatagramCatcher::Drain(DWORD ms) {
  std::vector<std::string> received;
  DWORD start = GetTickCount();
  for (int i = 0; i < 100 && GetTickCount() - start <= ms; ++i) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_, &readable);
    timeval wait{0, 20000};
    if (select(0, &readable, nullptr, nullptr, &wait) <= 0) {
      continue;
    }
    char buffer[512];
    int n = recv(socket_, buffer, sizeof buffer, 0);
    if (n >= 0) {
      received.emplace_back(buffer, n);
    }
  }
  return received;
}
