#include <winsock2.h>
#include <windows.h>

#include <string>

#include "system_error.h"
#include "udp_receiver.h"

namespace {

SOCKET socketOf(std::intptr_t handle) { return static_cast<SOCKET>(handle); }

}  // namespace

UdpReceiver::~UdpReceiver() {
  if (handle_ != -1) closesocket(socketOf(handle_));
}

bool UdpReceiver::open(std::uint16_t port, std::string* error) {
  WSADATA data;
  const int startup = WSAStartup(MAKEWORD(2, 2), &data);
  if (startup != 0) {
    *error = describeSystemError(startup);
    return false;
  }
  const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (socket == INVALID_SOCKET) {
    *error = describeSystemError(WSAGetLastError());
    return false;
  }
  // Windows lets another program bind the same port with SO_REUSEADDR and
  // steal the alerts unless the port is claimed exclusively. Both options are
  // requests; a refusal leaves a working socket.
  BOOL exclusive = TRUE;
  setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
             sizeof exclusive);
  int bufferBytes = kSocketReceiveBufferBytes;
  setsockopt(socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bufferBytes),
             sizeof bufferBytes);

  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(port);
  if (bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    *error = describeSystemError(WSAGetLastError());
    closesocket(socket);
    return false;
  }
  handle_ = static_cast<std::intptr_t>(socket);
  return true;
}

ReceiveResult UdpReceiver::receive(char* buffer, std::size_t capacity) {
  for (;;) {
    const int length = recv(socketOf(handle_), buffer, static_cast<int>(capacity), 0);
    if (length != SOCKET_ERROR) return {true, static_cast<std::size_t>(length), ""};
    const int code = WSAGetLastError();
    // The buffer then holds the datagram's first `capacity` bytes.
    if (code == WSAEMSGSIZE) return {true, capacity, ""};
    if (code != WSAEINTR) return {false, 0, describeSystemError(code)};
  }
}
