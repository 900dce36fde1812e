// Datagrams over IPv4 loopback, the only network the daemon's tests use, on
// either platform (on Windows after WSAStartup).
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cstdint>
#include <string>

#ifdef _WIN32
using LoopbackSocket = SOCKET;
using LoopbackLength = int;
inline void closeLoopbackSocket(SOCKET socket) { closesocket(socket); }
#else
using LoopbackSocket = int;
using LoopbackLength = socklen_t;
inline void closeLoopbackSocket(int socket) { ::close(socket); }
#endif

inline sockaddr_in loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  return address;
}

// A UDP port nobody uses at the moment.
inline int freeUdpPort() {
  const LoopbackSocket socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in address = loopback(0);
  LoopbackLength length = sizeof address;
  ::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
  closeLoopbackSocket(socket);
  return ntohs(address.sin_port);
}

// Sends one datagram to 127.0.0.1:port.
inline void sendToLoopback(int port, const std::string& payload) {
  const LoopbackSocket socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  const sockaddr_in address = loopback(port);
  ::sendto(socket, payload.data(), static_cast<int>(payload.size()), 0,
           reinterpret_cast<const sockaddr*>(&address), sizeof address);
  closeLoopbackSocket(socket);
}
