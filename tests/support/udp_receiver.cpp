#include "udp_receiver.h"

UdpReceiver::UdpReceiver() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  socket_ = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(socket_, reinterpret_cast<sockaddr*>(&local), sizeof local);
  int length = sizeof local;
  getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &length);
  port_ = ntohs(local.sin_port);
}

UdpReceiver::~UdpReceiver() {
  closesocket(socket_);
  WSACleanup();
}

std::vector<std::string> UdpReceiver::Drain(DWORD ms) {
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
